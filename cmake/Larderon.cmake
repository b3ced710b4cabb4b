# Settings every target of Larderon shares.

# Compiler warnings; every target links this.
add_library(larderon_warnings INTERFACE)
target_compile_options(larderon_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual
    $<$<BOOL:${LARDERON_WERROR}>:-Werror>)
target_compile_definitions(larderon_warnings INTERFACE QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING)
target_include_directories(larderon_warnings INTERFACE ${PROJECT_SOURCE_DIR})

if(LARDERON_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# The main menu's icons: compiled into the program and shown in the help pages.
set(LARDERON_MAINMENU_ICONS)
foreach(icon setup ingredients recipes shopping exit help about credits find import plan)
    list(APPEND LARDERON_MAINMENU_ICONS ${PROJECT_SOURCE_DIR}/assets/icons/mainmenu/${icon}.png)
endforeach()

# Window layouts live in assets/layouts; AUTOUIC finds them there.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-home/share)

set(LARDERON_LAYOUTS "${PROJECT_SOURCE_DIR}/assets/layouts")

# larderon_add_test(name SOURCES ... LIBS ...)
# One test executable per unit, run headless by CTest.
function(larderon_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test larderon_warnings)
    target_compile_definitions(${name} PRIVATE LARDERON_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
    set_property(TARGET ${name} PROPERTY AUTOUIC_SEARCH_PATHS ${LARDERON_LAYOUTS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-home/share;QT_LOGGING_RULES=qt.qpa.*=false"
        TIMEOUT 300)
endfunction()
