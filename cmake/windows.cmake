# The Windows build: the program, its simulated-RAS twin and the app and
# end-to-end tests, all linked statically so each .exe runs with nothing beside it.
enable_language(RC)

set(WIN_DEFINES UNICODE _UNICODE NOMINMAX WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0600)
set(PROGRAM_FLAGS -Wall -Wextra -fno-exceptions -fno-rtti)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}")
add_link_options(-static -static-libgcc -static-libstdc++)

# Everything of the program but the entry point and the two RAS back ends.
file(GLOB PROGRAM_SOURCES CONFIGURE_DEPENDS
    app/*.cpp ui/*.cpp accounts/*.cpp dialup/*.cpp launcher/*.cpp platform/shell/*.cpp)
list(REMOVE_ITEM PROGRAM_SOURCES ${CMAKE_SOURCE_DIR}/app/main.cpp)

add_library(tamlink_core STATIC ${PROGRAM_SOURCES})
target_include_directories(tamlink_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(tamlink_core PUBLIC ${WIN_DEFINES})
target_compile_options(tamlink_core PRIVATE ${PROGRAM_FLAGS})
target_link_libraries(tamlink_core PUBLIC comctl32 shell32 ole32 user32 gdi32 kernel32)
program_language(tamlink_core)

# The two RAS back ends stand below the program: they use nothing of it, so a
# static link resolves the program's ras:: calls whatever order names them in.
# The platform's RAS (rasapi32), for tamlink.exe on a Windows machine with a modem.
add_library(tamlink_ras_platform STATIC platform/ras/ras_platform.cpp)
target_include_directories(tamlink_ras_platform PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(tamlink_ras_platform PUBLIC ${WIN_DEFINES})
target_compile_options(tamlink_ras_platform PRIVATE ${PROGRAM_FLAGS})
target_link_libraries(tamlink_ras_platform PUBLIC rasapi32)
program_language(tamlink_ras_platform)

# The simulated RAS service, for tamlink-sim.exe and the tests.
file(GLOB RASSIM_SOURCES CONFIGURE_DEPENDS platform/rassim/*.cpp)
add_library(tamlink_rassim STATIC ${RASSIM_SOURCES})
target_include_directories(tamlink_rassim PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(tamlink_rassim PUBLIC ${WIN_DEFINES})
target_compile_options(tamlink_rassim PRIVATE ${PROGRAM_FLAGS})
target_link_libraries(tamlink_rassim PUBLIC user32 kernel32)

add_library(tamlink_resources OBJECT resources/tamlink.rc)
set_source_files_properties(resources/tamlink.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/resources/strings.inc;${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_SOURCE_DIR}/resources/art/tamlink.ico;${CMAKE_SOURCE_DIR}/resources/art/logo.bmp")

foreach(variant tamlink tamlink-sim)
    add_executable(${variant} WIN32 app/main.cpp $<TARGET_OBJECTS:tamlink_resources>)
    target_compile_options(${variant} PRIVATE ${PROGRAM_FLAGS})
    target_link_options(${variant} PRIVATE -municode)
    program_language(${variant})
endforeach()
target_link_libraries(tamlink PRIVATE tamlink_core tamlink_ras_platform)
target_link_libraries(tamlink-sim PRIVATE tamlink_core tamlink_rassim)

# The program is built for size: a handheld has room for tens of kilobytes.
# Each routine in a section of its own, so the link drops what nothing calls
# (not each variable: this gcc then puts zeroed data in .data, and the account
# table would fill the file); no guards around static locals (one thread). The
# exes are stripped and leave a link map, which the footprint check reads.
# mingw's printf family, with its float formatting, stays out because the
# program calls msvcrt's own (_snwprintf, wsprintfW): __USE_MINGW_ANSI_STDIO=0
# would not do it, as libstdc++'s <stdlib.h>, which windows.h includes, sets it
# back to 1 for every C++ unit.
set(PROGRAM_SIZE_FLAGS -Os -ffunction-sections)
foreach(target tamlink_core tamlink_ras_platform tamlink tamlink-sim)
    target_compile_options(${target} PRIVATE ${PROGRAM_SIZE_FLAGS} -fno-threadsafe-statics)
endforeach()
target_compile_options(tamlink_rassim PRIVATE ${PROGRAM_SIZE_FLAGS})
foreach(variant tamlink tamlink-sim)
    target_link_options(${variant} PRIVATE -s -Wl,--gc-sections -Wl,-Map=${CMAKE_BINARY_DIR}/${variant}.map)
endforeach()
# The program is C++03 with the C library only, so tamlink.exe is linked by the
# C driver: libstdc++ is not on the link line at all, and any use of it fails
# the link. (tamlink-sim.exe carries the service, which may use it.)
set_target_properties(tamlink PROPERTIES LINKER_LANGUAGE C)

# Tests under Wine. GoogleTest from Debian's sources, built for this target.
if(EXISTS /usr/src/googletest/CMakeLists.txt)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

    file(GLOB TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS tests/support/*.cpp)
    add_library(tamlink_test_support STATIC ${TEST_SUPPORT_SOURCES} resources/string_table.cpp)
    target_link_libraries(tamlink_test_support PUBLIC tamlink_core tamlink_rassim gtest)

    file(GLOB APP_TESTS CONFIGURE_DEPENDS tests/app/*_test.cpp)
    foreach(src ${APP_TESTS})
        get_filename_component(name ${src} NAME_WE)
        add_executable(${name} ${src} $<TARGET_OBJECTS:tamlink_resources>)
        target_link_libraries(${name} PRIVATE tamlink_test_support)
        set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/app)
    endforeach()
    target_link_libraries(resources_test PRIVATE version) # VerQueryValueW reads the version resource

    # The end-to-end tests drive the real tamlink-sim.exe from another process.
    file(GLOB E2E_TESTS CONFIGURE_DEPENDS tests/e2e/*_test.cpp)
    file(GLOB E2E_SUPPORT CONFIGURE_DEPENDS tests/e2e/support/*.cpp tests/support/files.cpp)
    foreach(src ${E2E_TESTS})
        get_filename_component(name ${src} NAME_WE)
        add_executable(${name} ${src} ${E2E_SUPPORT})
        target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
        target_compile_definitions(${name} PRIVATE ${WIN_DEFINES})
        target_link_libraries(${name} PRIVATE gtest_main user32 gdi32 comctl32)
        add_dependencies(${name} tamlink-sim)
        set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/e2e)
    endforeach()

    # Small programs that the tests start (a start program that leaves a trace).
    file(GLOB TEST_HELPERS CONFIGURE_DEPENDS tests/helpers/*.cpp)
    foreach(src ${TEST_HELPERS})
        get_filename_component(name ${src} NAME_WE)
        add_executable(${name} ${src})
        target_compile_definitions(${name} PRIVATE ${WIN_DEFINES})
        set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/helpers)
    endforeach()
endif()

# The start-up bench (make bench): a window of the program's class and nothing
# else, built and linked as the program is, and the launcher that times both.
add_executable(bench_window WIN32 bench/bench_window.cpp)
target_compile_definitions(bench_window PRIVATE ${WIN_DEFINES})
target_compile_options(bench_window PRIVATE ${PROGRAM_FLAGS} ${PROGRAM_SIZE_FLAGS} -fno-threadsafe-statics)
target_link_options(bench_window PRIVATE -municode -s -Wl,--gc-sections)
add_executable(start_timer bench/start_timer.cpp)
target_compile_definitions(start_timer PRIVATE ${WIN_DEFINES})
target_link_options(start_timer PRIVATE -municode -s)
set_target_properties(bench_window start_timer PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench LINKER_LANGUAGE C)
