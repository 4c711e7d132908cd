# The product tree: 32-bit PE files for Windows 95 to 11, and the programs
# that test them under Wine.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
# Declarations of later Windows versions stay out of reach.
add_compile_definitions(WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0400 WIN32_LEAN_AND_MEAN)
add_compile_options(-Wall -Wextra -fno-exceptions -fno-rtti -fno-threadsafe-statics
                    -fno-asynchronous-unwind-tables -fno-stack-protector)

set(BIN_DIR ${CMAKE_BINARY_DIR}/bin)
# Link options of a shipped file: no C runtime, static libgcc, PE 4.0, stripped.
set(PRODUCT_LINK_OPTIONS
    -static -s -nostartfiles -nodefaultlibs
    -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--gc-sections)

set(CMAKE_CXX_FLAGS_RELEASE "-Os")
set(CMAKE_C_FLAGS_RELEASE "-Os")
add_library(logic STATIC ${LOGIC_SOURCES})
# 64-bit division and stack probes come from the static libgcc.
target_link_libraries(logic INTERFACE gcc)

# Win32 code that the host and the modules share.
set(COMMON_WIN32_SOURCES common/centerwindow.cpp common/settingsfile.cpp)

set(HOST_SOURCES
    ${COMMON_WIN32_SOURCES}
    host/activity_log.cpp
    host/cleaner.cpp
    host/cpusampler.cpp
    host/dialogs.cpp
    host/inforefresh.cpp
    host/mainwindow.cpp
    host/memstatus.cpp
    host/modules.cpp
    host/monitor.cpp
    host/settings.cpp
    host/startup.cpp
    host/strings.cpp
    host/tray.cpp
)
add_library(hostcore STATIC ${HOST_SOURCES})
target_compile_options(hostcore PUBLIC -ffunction-sections -fdata-sections)
target_link_libraries(hostcore PUBLIC logic)
# No C runtime to call: loops stay loops.
target_compile_options(logic PUBLIC -ffunction-sections -fdata-sections -fno-tree-loop-distribute-patterns)
set(HOST_SYSTEM_LIBS kernel32 user32 gdi32 shell32 advapi32 comctl32)

# The host's resources, shared with the test programs that load its strings.
add_library(hostres OBJECT host/resources/host.rc)

# Stand-ins for the C runtime's block moves, linked into every product file;
# compiled so that the compiler cannot turn their loops into calls to themselves.
add_library(runtime OBJECT common/runtime.cpp)
target_compile_options(runtime PRIVATE -fno-tree-loop-distribute-patterns)

add_executable(Brindlecap WIN32 host/entry.cpp $<TARGET_OBJECTS:runtime> $<TARGET_OBJECTS:hostres>)
target_link_libraries(Brindlecap PRIVATE hostcore ${HOST_SYSTEM_LIBS})
target_link_options(Brindlecap PRIVATE ${PRODUCT_LINK_OPTIONS} -Wl,-e,_HostEntry -mwindows)
set_target_properties(Brindlecap PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${BIN_DIR})

# One Xvfb and one persistent wineserver for the whole test run.
set(WINE_HOME ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${WINE_HOME})
add_test(NAME wine_session_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh start ${WINE_HOME})
add_test(NAME wine_session_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh stop ${WINE_HOME})
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)

# A test program that runs under Wine: `target` with its arguments.
function(add_wine_test name target)
    add_test(NAME ${name} COMMAND ${target} ${ARGN})
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine TIMEOUT 300)
endfunction()

# The shipped files load on every 32-bit Windows from 95 on.

add_subdirectory(modules)
add_subdirectory(tests/win32)
add_subdirectory(tests/e2e)
add_subdirectory(bench)
