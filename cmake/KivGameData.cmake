# kiv_add_game_data(<target> JSON <description.json> OUTPUT_DIR <folder>
#                   [ART_DIR <folder>] [DEPENDS <files or targets>...] [STRICT])
#
# Compiles a game's JSON description with kivc into its game file and level files in
# OUTPUT_DIR whenever the description changes, before <target> is built. With ART_DIR, the
# frames of the actors take their sizes from the images under ART_DIR/"Art Assets"/Actors;
# DEPENDS names what must exist first (the art, or the target that makes it). STRICT refuses
# a description whose references lead nowhere (kivc --strict). The variable
# <target>_GAME_DATA_FILES holds the paths of the compiled files, for kiv_embed_resources:
#     kiv_embed_resources(mygame FILES ${mygame_GAME_DATA_FILES} music.mid)
function(kiv_add_game_data target)
    cmake_parse_arguments(ARG "STRICT" "JSON;OUTPUT_DIR;ART_DIR" "DEPENDS" ${ARGN})
    if(NOT ARG_JSON OR NOT ARG_OUTPUT_DIR)
        message(FATAL_ERROR "kiv_add_game_data(${target}): JSON and OUTPUT_DIR are required")
    endif()
    get_filename_component(json "${ARG_JSON}" ABSOLUTE)
    set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}_gamedata.stamp")
    if(TARGET kivc)
        set(compiler $<TARGET_FILE:kivc>)
    elseif(TARGET KivCore::kivc)
        set(compiler $<TARGET_FILE:KivCore::kivc>)
    else()
        find_program(KIV_KIVC kivc REQUIRED)
        set(compiler ${KIV_KIVC})
    endif()
    set(options)
    if(ARG_ART_DIR)
        list(APPEND options --art "${ARG_ART_DIR}")
    endif()
    if(ARG_STRICT)
        list(APPEND options --strict)
    endif()
    # The files kivc writes are known to the build, so that other rules may depend on them.
    _kiv_game_data_files("${json}" "${ARG_OUTPUT_DIR}" files)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${json}")
    add_custom_command(OUTPUT "${stamp}" ${files}
        COMMAND ${compiler} "${json}" -o "${ARG_OUTPUT_DIR}" ${options} --stamp "${stamp}"
        DEPENDS "${json}" $<$<TARGET_EXISTS:kivc>:kivc> ${ARG_DEPENDS}
        COMMENT "Compiling the game data of ${target}"
        VERBATIM)
    add_custom_target(${target}_gamedata DEPENDS "${stamp}")
    add_dependencies(${target} ${target}_gamedata)
    set(${target}_GAME_DATA_FILES ${files} PARENT_SCOPE)
endfunction()

# The paths of the game file and the level files that kivc writes from <json> into <folder>:
# the names as the description gives them, with Windows separators turned and any leading
# separator dropped.
function(_kiv_game_data_files json folder out)
    file(READ "${json}" text)
    string(JSON name ERROR_VARIABLE error GET "${text}" file)
    if(error)
        message(FATAL_ERROR "${json}: the description names no game file (\"file\")")
    endif()
    set(names "${name}")
    string(JSON count ERROR_VARIABLE error LENGTH "${text}" game levels)
    if(NOT error AND count GREATER 0)
        math(EXPR last "${count} - 1")
        foreach(i RANGE ${last})
            string(JSON level ERROR_VARIABLE missing GET "${text}" game levels ${i} level)
            string(JSON name ERROR_VARIABLE error GET "${text}" game levels ${i} file)
            if(NOT missing AND NOT error)
                list(APPEND names "${name}")
            endif()
        endforeach()
    endif()
    set(files)
    foreach(name IN LISTS names)
        string(REPLACE "\\" "/" name "${name}")
        string(REGEX REPLACE "^/+" "" name "${name}")
        list(APPEND files "${folder}/${name}")
    endforeach()
    set(${out} ${files} PARENT_SCOPE)
endfunction()
