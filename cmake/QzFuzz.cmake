# SPDX-License-Identifier: MIT
# Fuzz targets for the file readers.
#
# qz_add_fuzz_target(<name> SOURCES <files...> LIBS <targets...>)
#   <files> define LLVMFuzzerTestOneInput. With QZ_FUZZ=ON (clang only) <name> is a libFuzzer
#   binary. With tests on, <name>_replay runs the seed corpus fuzz/corpus/<name>/ once through
#   the same code as the ctest test <name>_corpus, in every build.
option(QZ_FUZZ "Build the libFuzzer targets (clang only)" OFF)
# Without the sanitizers a target runs several times faster: the long runs that count
# executions use that, and the shorter sanitized runs catch what only the sanitizers see.
option(QZ_FUZZ_SANITIZE "Build the libFuzzer targets with ASan and UBSan" ON)

if(QZ_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QZ_FUZZ needs clang: cmake -DCMAKE_CXX_COMPILER=clang++ -DQZ_FUZZ=ON")
    endif()
    # Everything the targets link is instrumented, so the fuzzer sees the readers' branches.
    if(QZ_FUZZ_SANITIZE)
        add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
        add_link_options(-fsanitize=address,undefined)
    else()
        add_compile_options(-fsanitize=fuzzer-no-link)
    endif()
endif()

function(qz_add_fuzz_target name)
    cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
    set(corpus ${PROJECT_SOURCE_DIR}/fuzz/corpus/${name})
    if(QZ_FUZZ)
        add_executable(${name} ${F_SOURCES})
        target_link_libraries(${name} PRIVATE ${F_LIBS})
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    endif()
    if(BUILD_TESTING)
        add_executable(${name}_replay ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
        target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
        set_target_properties(${name}_replay PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
        add_test(NAME ${name}_corpus COMMAND ${name}_replay ${corpus})
        set_tests_properties(${name}_corpus PROPERTIES TIMEOUT 120)
    endif()
endfunction()
