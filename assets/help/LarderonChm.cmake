# larderon_compile_chm(<target> PROJECT <file.hhp> OUTPUT <file.chm> [IMAGES <picture>...])
#
# Compiles a help project with Free Pascal's chmcmd into OUTPUT, as part of the target <target> (built by
# default). Every file in the project's folder takes part, except CMake files and READMEs; each of IMAGES
# is added to the project's images/ folder. The project compiles as a copy in the build tree, so nothing
# is written into the sources. The build fails when the help does not compile cleanly (see
# compile-chm.cmake) and compiles again whenever one of the files changes.

find_program(LARDERON_CHMCMD chmcmd REQUIRED DOC "Free Pascal's CHM compiler (Debian package fp-utils)")
set(LARDERON_COMPILE_CHM_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/compile-chm.cmake")

function(larderon_compile_chm target)
    cmake_parse_arguments(ARG "" "PROJECT;OUTPUT" "IMAGES" ${ARGN})
    if(NOT ARG_PROJECT OR NOT ARG_OUTPUT)
        message(FATAL_ERROR "larderon_compile_chm: PROJECT and OUTPUT are required")
    endif()
    get_filename_component(project_file "${ARG_PROJECT}" ABSOLUTE)
    get_filename_component(source_dir "${project_file}" DIRECTORY)
    get_filename_component(project_name "${project_file}" NAME)

    file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE "${source_dir}" "${source_dir}/*")
    list(FILTER files EXCLUDE REGEX "(^|/)(CMakeLists\\.txt|[^/]*\\.cmake|[^/]*\\.md)$")
    list(TRANSFORM files PREPEND "${source_dir}/" OUTPUT_VARIABLE file_paths)

    # The lists travel to the script with "|" between their elements: ";" would split the command line,
    # and "|" cannot be part of a file name the help may use.
    string(REPLACE ";" "|" files_arg "${files}")
    string(REPLACE ";" "|" images_arg "${ARG_IMAGES}")
    add_custom_command(OUTPUT "${ARG_OUTPUT}"
        COMMAND "${CMAKE_COMMAND}"
            "-DCHMCMD=${LARDERON_CHMCMD}"
            "-DSOURCE_DIR=${source_dir}"
            "-DPROJECT=${project_name}"
            "-DFILES=${files_arg}"
            "-DIMAGES=${images_arg}"
            "-DSTAGE_DIR=${CMAKE_CURRENT_BINARY_DIR}/${target}-project"
            "-DOUTPUT=${ARG_OUTPUT}"
            -P "${LARDERON_COMPILE_CHM_SCRIPT}"
        DEPENDS ${file_paths} ${ARG_IMAGES} "${LARDERON_COMPILE_CHM_SCRIPT}"
        COMMENT "Compiling the help ${ARG_OUTPUT}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS "${ARG_OUTPUT}")
endfunction()
