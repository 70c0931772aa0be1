# The native build: window-free code with its tests under ASan and UBSan, a
# libFuzzer target for the account-file reader, and the CTest registration of
# the Windows tests, which run under Wine.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The native build needs clang (libFuzzer): configure with CMAKE_CXX_COMPILER=clang++")
endif()

set(SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)

add_library(tamlink_portable STATIC ${PORTABLE_SOURCES} resources/string_table.cpp)
target_include_directories(tamlink_portable PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(tamlink_portable PUBLIC ${SANITIZE} PRIVATE -Wall -Wextra -fno-exceptions -fno-rtti)
target_link_options(tamlink_portable PUBLIC ${SANITIZE})
program_language(tamlink_portable)

set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

enable_testing()
include(GoogleTest)

file(GLOB CORE_TESTS CONFIGURE_DEPENDS tests/core/*_test.cpp)
add_executable(core_tests ${CORE_TESTS})
target_link_libraries(core_tests PRIVATE tamlink_portable gtest_main)
gtest_discover_tests(core_tests TEST_PREFIX "core." DISCOVERY_TIMEOUT 60)

# The fuzzer: its own copy of the portable code, instrumented for coverage.
add_executable(fuzz_account_file tests/fuzz/account_file_fuzz.cpp ${PORTABLE_SOURCES})
target_include_directories(fuzz_account_file PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(fuzz_account_file PRIVATE -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
target_link_options(fuzz_account_file PRIVATE -fsanitize=fuzzer,address,undefined)
set(FUZZ_WORK ${CMAKE_BINARY_DIR}/fuzz-corpus)
add_test(NAME fuzz.account_file
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
        $<TARGET_FILE:fuzz_account_file> -max_total_time=30 -timeout=10 -print_final_stats=1
        -artifact_prefix=${CMAKE_BINARY_DIR}/fuzz-artifacts/ ${FUZZ_WORK} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus)
set_tests_properties(fuzz.account_file PROPERTIES FIXTURES_REQUIRED fuzzdirs TIMEOUT 120)
add_test(NAME fuzz.prepare COMMAND ${CMAKE_COMMAND} -E make_directory ${FUZZ_WORK} ${CMAKE_BINARY_DIR}/fuzz-artifacts)
set_tests_properties(fuzz.prepare PROPERTIES FIXTURES_SETUP fuzzdirs)

# No folder of the program includes one above it.
add_test(NAME layout.floors COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-floors.sh ${CMAKE_SOURCE_DIR})

# The program's sources as the handheld's toolchains take them.
add_test(NAME handheld.sources COMMAND ${CMAKE_SOURCE_DIR}/scripts/handheld-sources.sh ${CMAKE_SOURCE_DIR})
set_tests_properties(handheld.sources PROPERTIES TIMEOUT 600)

# The program for the Pocket PC, built with the Windows CE compiler and checked
# as the device will take it, then its cabinet read back; both skipped, and
# saying why, where no such compiler is.
set(TAMLINK_CE_BUILD_DIR ${CMAKE_BINARY_DIR}/ce CACHE PATH "Where handheld.build writes tamlink.exe and tamlink.cab for the Pocket PC")
add_test(NAME handheld.build COMMAND ${CMAKE_SOURCE_DIR}/scripts/handheld-build.sh ${TAMLINK_CE_BUILD_DIR})
set_tests_properties(handheld.build PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77 FIXTURES_SETUP handheld)
add_test(NAME handheld.cab COMMAND ${CMAKE_SOURCE_DIR}/scripts/handheld-cab-check.sh ${TAMLINK_CE_BUILD_DIR})
set_tests_properties(handheld.cab PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77 FIXTURES_REQUIRED handheld)
# That exe's own ARM code run on an emulated StrongARM and XScale, every call
# answered by a stand-in of the device, through the project's scenarios.
add_test(NAME handheld.emu COMMAND ${CMAKE_SOURCE_DIR}/scripts/handheld-emu.sh)
set_tests_properties(handheld.emu PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77 FIXTURES_REQUIRED handheld
    ENVIRONMENT TAMLINK_CE_EXE=${TAMLINK_CE_BUILD_DIR}/tamlink.exe)

# Windows tests under Wine: each program in a fresh prefix cloned from a template.
set(TAMLINK_WIN_BUILD_DIR "" CACHE PATH "The Windows build whose tests CTest runs under Wine")
if(TAMLINK_WIN_BUILD_DIR)
    set(WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)
    set(WINE_RUNS ${CMAKE_BINARY_DIR}/wine-runs)
    add_test(NAME wine.prefix COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix.sh template ${WINE_TEMPLATE})
    set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wineprefix TIMEOUT 300)

    function(add_wine_test name exe)
        add_test(NAME ${name}
            COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-test.sh ${WINE_TEMPLATE} ${WINE_RUNS}/${name} ${exe} ${ARGN})
        set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wineprefix TIMEOUT 600
            ENVIRONMENT "TAMLINK_SOURCE_DIR=${CMAKE_SOURCE_DIR};TAMLINK_WIN_BUILD_DIR=${TAMLINK_WIN_BUILD_DIR};TAMLINK_BUILD_DIR=${CMAKE_BINARY_DIR}")
    endfunction()

    # The sizes of the two programs and what they import, against their limits.
    add_test(NAME build.footprint COMMAND ${CMAKE_SOURCE_DIR}/scripts/footprint.sh ${TAMLINK_WIN_BUILD_DIR}
        ${CMAKE_BINARY_DIR}/footprint.txt)

    file(GLOB APP_TESTS CONFIGURE_DEPENDS tests/app/*_test.cpp)
    foreach(src ${APP_TESTS})
        get_filename_component(name ${src} NAME_WE)
        add_wine_test(app.${name} ${TAMLINK_WIN_BUILD_DIR}/tests/app/${name}.exe)
    endforeach()
    file(GLOB E2E_TESTS CONFIGURE_DEPENDS tests/e2e/*_test.cpp)
    foreach(src ${E2E_TESTS})
        get_filename_component(name ${src} NAME_WE)
        add_wine_test(e2e.${name} ${TAMLINK_WIN_BUILD_DIR}/tests/e2e/${name}.exe)
    endforeach()
endif()
