# Compiles one help project with chmcmd (run by larderon_compile_chm with cmake -P).
#
# Arguments: CHMCMD, SOURCE_DIR (the project's folder), PROJECT (the .hhp's file name), FILES (the files of
# the project, relative to SOURCE_DIR, "|" between them), IMAGES (pictures to add under images/, "|"
# between them), STAGE_DIR (where the copy compiles), OUTPUT (the .chm to make).
#
# chmcmd 3.2.2 is lenient: it exits 0 after printing "Error:" lines or without the contents file, and it
# crashes (exit code 217, an empty file) on a listed file that is missing. So the project is checked
# before it compiles, chmcmd's output is read for every sign of trouble, and the result must have a size.
# chmcmd also reports a false "Anchor ... undefined" error for an anchor in a page inside a sub-folder:
# keep the pages at the project's top level, where that error is always real.

cmake_minimum_required(VERSION 3.25)

function(fail message)
    file(REMOVE "${OUTPUT}")
    message(FATAL_ERROR "Help ${PROJECT}: ${message}")
endfunction()

string(REPLACE "|" ";" files "${FILES}")
string(REPLACE "|" ";" images "${IMAGES}")

# chmcmd writes its output next to the project file, so it compiles a copy in the build tree.
file(REMOVE_RECURSE "${STAGE_DIR}")
file(REMOVE "${OUTPUT}")
set(staged "")
foreach(file IN LISTS files)
    get_filename_component(dir "${file}" DIRECTORY)
    file(COPY "${SOURCE_DIR}/${file}" DESTINATION "${STAGE_DIR}/${dir}")
    list(APPEND staged "${file}")
endforeach()
foreach(image IN LISTS images)
    get_filename_component(name "${image}" NAME)
    if(NOT EXISTS "${image}")
        fail("the picture ${image} does not exist")
    endif()
    file(COPY "${image}" DESTINATION "${STAGE_DIR}/images")
    list(APPEND staged "images/${name}")
endforeach()

# The project file: its options and the files it lists.
if(NOT EXISTS "${STAGE_DIR}/${PROJECT}")
    fail("the project file does not exist")
endif()
file(STRINGS "${STAGE_DIR}/${PROJECT}" lines)
set(section "")
set(listed "")
foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    if(line MATCHES "^\\[(.+)\\]$")
        string(TOUPPER "${CMAKE_MATCH_1}" section)
    elseif(line STREQUAL "" OR line MATCHES "^;")
        continue()
    elseif(section STREQUAL "OPTIONS" AND line MATCHES "^([^=]+)=(.*)$")
        string(STRIP "${CMAKE_MATCH_1}" key)
        string(STRIP "${CMAKE_MATCH_2}" value)
        string(REPLACE "\\" "/" value "${value}")
        string(REPLACE " " "_" key "${key}")
        set("option_${key}" "${value}")
    elseif(section STREQUAL "FILES")
        string(REPLACE "\\" "/" line "${line}")
        list(APPEND listed "${line}")
    endif()
endforeach()

if(NOT option_Compiled_file OR option_Compiled_file MATCHES "[/:]")
    fail("\"Compiled file=\" must name the file alone, without a folder")
endif()
foreach(option Contents_file Default_topic)
    if(NOT option_${option})
        fail("the project sets no \"${option}=\"")
    endif()
endforeach()
if(NOT EXISTS "${STAGE_DIR}/${option_Contents_file}")
    fail("the contents file ${option_Contents_file} does not exist")
endif()
if(option_Index_file AND NOT EXISTS "${STAGE_DIR}/${option_Index_file}")
    fail("the index file ${option_Index_file} does not exist")
endif()
string(REGEX REPLACE "#.*$" "" default_page "${option_Default_topic}")
if(NOT default_page IN_LIST listed)
    fail("the default topic ${default_page} is not listed under [FILES]")
endif()

# Every file of the project is listed under [FILES], and every listed file exists.
foreach(file IN LISTS listed)
    if(NOT EXISTS "${STAGE_DIR}/${file}" OR IS_DIRECTORY "${STAGE_DIR}/${file}")
        fail("${file} is listed under [FILES] but does not exist")
    endif()
endforeach()
foreach(file IN LISTS staged)
    if(NOT file IN_LIST listed AND NOT file STREQUAL PROJECT AND NOT file STREQUAL option_Contents_file
       AND NOT file STREQUAL option_Index_file)
        fail("${file} is part of the help but not listed under [FILES]")
    endif()
endforeach()

# chmcmd does not look at the pages the contents lead to: each must be listed, and each anchor must exist.
file(READ "${STAGE_DIR}/${option_Contents_file}" contents)
string(REGEX MATCHALL "[Nn][Aa][Mm][Ee]=\"Local\"[ \t\r\n]+[Vv][Aa][Ll][Uu][Ee]=\"[^\"]*\"" locals "${contents}")
if(NOT locals)
    fail("the contents file ${option_Contents_file} leads to no page")
endif()
foreach(local IN LISTS locals)
    string(REGEX REPLACE ".*\"([^\"]*)\"$" "\\1" local "${local}")
    string(REGEX MATCH "^[^#]*" page "${local}")
    if(NOT page IN_LIST listed)
        fail("the contents lead to ${page}, which is not listed under [FILES]")
    endif()
    if(local MATCHES "#(.+)$")
        set(anchor "${CMAKE_MATCH_1}")
        file(READ "${STAGE_DIR}/${page}" text)
        if(NOT text MATCHES "(name|id)=\"${anchor}\"")
            fail("the contents lead to ${local}, but ${page} has no anchor ${anchor}")
        endif()
    endif()
endforeach()

execute_process(COMMAND "${CHMCMD}" "${PROJECT}"
    WORKING_DIRECTORY "${STAGE_DIR}"
    RESULT_VARIABLE result
    OUTPUT_VARIABLE log
    ERROR_VARIABLE log)

set(problems "")
if(NOT result EQUAL 0)
    string(APPEND problems "chmcmd ended with ${result}\n")
endif()
string(REPLACE "\r" "" log "${log}")
string(REPLACE ";" "," log "${log}")
string(REPLACE "\n" ";" log_lines "${log}")
foreach(line IN LISTS log_lines)
    # Errors, broken links and pictures ("couldn't find it on disk"), missing files, crashes.
    if(line MATCHES "^Error" OR line MATCHES "couldn't find it on disk" OR line MATCHES "does not exist"
       OR line MATCHES "unhandled exception")
        string(APPEND problems "${line}\n")
    endif()
endforeach()

set(compiled "${STAGE_DIR}/${option_Compiled_file}")
if(NOT EXISTS "${compiled}")
    string(APPEND problems "chmcmd wrote no ${option_Compiled_file}\n")
else()
    # An empty project still makes a file of several kilobytes; anything smaller is a broken file.
    file(SIZE "${compiled}" size)
    if(size LESS 4096)
        string(APPEND problems "${option_Compiled_file} has only ${size} bytes\n")
    endif()
endif()
if(problems)
    fail("the help does not compile cleanly:\n${problems}chmcmd said:\n${log}")
endif()

get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_dir}")
file(COPY_FILE "${compiled}" "${OUTPUT}")
