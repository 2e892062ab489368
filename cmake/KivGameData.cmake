# kiv_add_game_data(<target> JSON <description.json> OUTPUT_DIR <folder>
#                   [ART_DIR <folder>] [DEPENDS <files or targets>...])
#
# Compiles a game's JSON description with kivc into its game file and level files in
# OUTPUT_DIR whenever the description changes, before <target> is built. With ART_DIR, the
# frames of the actors take their sizes from the images under ART_DIR/"Art Assets"/Actors;
# DEPENDS names what must exist first (the art, or the target that makes it).
function(kiv_add_game_data target)
    cmake_parse_arguments(ARG "" "JSON;OUTPUT_DIR;ART_DIR" "DEPENDS" ${ARGN})
    if(NOT ARG_JSON OR NOT ARG_OUTPUT_DIR)
        message(FATAL_ERROR "kiv_add_game_data(${target}): JSON and OUTPUT_DIR are required")
    endif()
    get_filename_component(json "${ARG_JSON}" ABSOLUTE)
    set(stamp "${CMAKE_CURRENT_BINARY_DIR}/${target}_gamedata.stamp")
    if(TARGET kivc)
        set(compiler $<TARGET_FILE:kivc>)
    else()
        find_program(KIV_KIVC kivc REQUIRED)
        set(compiler ${KIV_KIVC})
    endif()
    set(art)
    if(ARG_ART_DIR)
        set(art --art "${ARG_ART_DIR}")
    endif()
    add_custom_command(OUTPUT "${stamp}"
        COMMAND ${compiler} "${json}" -o "${ARG_OUTPUT_DIR}" ${art} --stamp "${stamp}"
        DEPENDS "${json}" $<$<TARGET_EXISTS:kivc>:kivc> ${ARG_DEPENDS}
        COMMENT "Compiling the game data of ${target}"
        VERBATIM)
    add_custom_target(${target}_gamedata DEPENDS "${stamp}")
    add_dependencies(${target} ${target}_gamedata)
endfunction()
