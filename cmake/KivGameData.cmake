# kiv_add_game_data(<target> JSON <description.json> OUTPUT_DIR <folder>)
#
# Compiles a game's JSON description with kivc into its game file and level files in
# OUTPUT_DIR whenever the description changes, before <target> is built.
function(kiv_add_game_data target)
    cmake_parse_arguments(ARG "" "JSON;OUTPUT_DIR" "" ${ARGN})
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
    add_custom_command(OUTPUT "${stamp}"
        COMMAND ${compiler} "${json}" -o "${ARG_OUTPUT_DIR}" --stamp "${stamp}"
        DEPENDS "${json}" $<$<TARGET_EXISTS:kivc>:kivc>
        COMMENT "Compiling the game data of ${target}"
        VERBATIM)
    add_custom_target(${target}_gamedata DEPENDS "${stamp}")
    add_dependencies(${target} ${target}_gamedata)
endfunction()
