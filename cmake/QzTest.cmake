# SPDX-License-Identifier: MIT
# qz_add_test(<name> SOURCES <files...> LIBS <targets...>)
# Every test runs headless and with a private program folder, so it never touches the
# settings files beside the real executable.
function(qz_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    # A cross build runs its tests under an emulator (Windows programs under Wine): the suites of
    # the logic and the file formats, which need no window and no desktop, not the others.
    if(CMAKE_CROSSCOMPILING)
        foreach(lib IN LISTS T_LIBS)
            if(NOT lib MATCHES "^qz_[a-z_]+_core$|^qz_wave_synth$")
                set_target_properties(${name} PROPERTIES EXCLUDE_FROM_ALL ON)
                return()
            endif()
        endforeach()
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_LOGGING_RULES=qt.multimedia*=false"
        TIMEOUT 120)
endfunction()
