# The product tree: PE files for 32-bit Windows 95 to 11 (build/win32) or
# for 64-bit Windows (build/win64), and the programs that test them under Wine.
enable_language(RC)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(BRINDLECAP_X64 ON)
    # Undecorated entry symbols; the oldest 64-bit Windows, XP and Server 2003, is 5.2.
    set(SYMBOL_PREFIX "")
    set(HOST_ENTRY HostEntry)
    set(DLL_ENTRY DllEntry)
    set(SUBSYSTEM_MAJOR 5)
    set(SUBSYSTEM_MINOR 2)
else()
    set(BRINDLECAP_X64 OFF)
    set(SYMBOL_PREFIX "_")
    set(HOST_ENTRY _HostEntry)
    set(DLL_ENTRY _DllEntry@12)
    set(SUBSYSTEM_MAJOR 4)
    set(SUBSYSTEM_MINOR 0)
    # Windows 95 and 98 ran on the 486, the Pentium, the K6 and the Cyrix
    # chips, none of which has the Pentium Pro's cmov or fcomi, the
    # compiler's default. Tuned for the Pentium, the oldest processor most
    # such machines have; -Os decides the code anyway. Set here rather than
    # in the toolchain file so that an existing tree takes it too.
    add_compile_options(-march=i486 -mtune=pentium)
endif()
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
# Declarations of later Windows versions stay out of reach.
add_compile_definitions(WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0400 WIN32_LEAN_AND_MEAN)
# No C runtime is linked: the compiler must not turn loops into calls of
# its functions (strlen was the first to appear).
add_compile_options(-Wall -Wextra -fno-exceptions -fno-rtti -fno-threadsafe-statics
                    -fno-asynchronous-unwind-tables -fno-stack-protector
                    -fno-tree-loop-distribute-patterns)
# A pointer squeezed into 32 bits works on the 32-bit build and breaks the 64-bit one.
add_compile_options(-Werror=int-to-pointer-cast $<$<COMPILE_LANGUAGE:C>:-Werror=pointer-to-int-cast>)

set(BIN_DIR ${CMAKE_BINARY_DIR}/bin)
# Link options of a shipped file: no C runtime, static libgcc, PE 4.0, stripped,
# and no link time stamp, so that two builds of one tree give the same bytes.
set(PRODUCT_LINK_OPTIONS
    -static -s -nostartfiles -nodefaultlibs -Wl,--no-insert-timestamp
    -Wl,--major-subsystem-version,${SUBSYSTEM_MAJOR} -Wl,--minor-subsystem-version,${SUBSYSTEM_MINOR}
    -Wl,--major-os-version,${SUBSYSTEM_MAJOR} -Wl,--minor-os-version,${SUBSYSTEM_MINOR}
    -Wl,--gc-sections)

# libgcc's helpers bring unwind tables that nothing reads (no exceptions,
# no unwinder): without them each 32-bit product file is a file block
# smaller. The section's name is cut to eight letters in the image; the
# time stamp stays 0.
function(drop_unwind_tables target)
    if(NOT BRINDLECAP_X64)
        add_custom_command(TARGET ${target} POST_BUILD
            COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                    ${CMAKE_OBJCOPY} --remove-section=.eh_fram $<TARGET_FILE:${target}>
            VERBATIM)
    endif()
endfunction()

set(CMAKE_CXX_FLAGS_RELEASE "-Os")
set(CMAKE_C_FLAGS_RELEASE "-Os")
add_library(logic STATIC ${LOGIC_SOURCES})
# 64-bit division and stack probes come from the static libgcc.
target_link_libraries(logic INTERFACE gcc)

# Win32 code that the host and the modules share.
set(COMMON_WIN32_SOURCES common/centerwindow.cpp common/language.cpp common/settingsfile.cpp)

set(HOST_SOURCES
    ${COMMON_WIN32_SOURCES}
    host/aboutdialog.cpp
    host/activity_log.cpp
    host/cleaner.cpp
    host/cleanresult.cpp
    host/cpusampler.cpp
    host/dialogfigures.cpp
    host/dialogs.cpp
    host/handover.cpp
    host/hostenv.cpp
    host/infodialog.cpp
    host/inforefresh.cpp
    host/maindialog.cpp
    host/mainwindow.cpp
    host/memorydialog.cpp
    host/memstatus.cpp
    host/modulefile.cpp
    host/modules.cpp
    host/modulescan.cpp
    host/monitor.cpp
    host/settings.cpp
    host/startup.cpp
    host/hoststrings.cpp
    host/tray.cpp
)
add_library(hostcore STATIC ${HOST_SOURCES})
# Functions only: with -fdata-sections this compiler puts zero-filled
# globals into .data$ sections, stored in the file, instead of .bss.
target_compile_options(hostcore PUBLIC -ffunction-sections)
target_link_libraries(hostcore PUBLIC logic)
# No C runtime to call: loops stay loops.
target_compile_options(logic PUBLIC -ffunction-sections -fno-tree-loop-distribute-patterns)
set(HOST_SYSTEM_LIBS kernel32 user32 gdi32 shell32 advapi32 comctl32)

# add_language_texts(target layout folder): each language's texts,
# folder/lang/<name>.rc in UTF-8, stored in the code page the language table
# names (0: ASCII), where the program hands them to the system as they are.
# The layout includes them all through texts.rc: the linker merges no
# second resource object.
file(STRINGS ${CMAKE_SOURCE_DIR}/common/logic/language.cpp LANGUAGE_LINES
     REGEX "^ *{0x[0-9A-Fa-f]+, [0-9]+, \"[a-z]+\"")
function(add_language_texts target layout folder)
    set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}-lang)
    set(list "")
    set(stored_files "")
    foreach(line ${LANGUAGE_LINES})
        string(REGEX MATCH "{0x[0-9A-Fa-f]+, ([0-9]+), \"([a-z]+)\"" found "${line}")
        set(charset CP${CMAKE_MATCH_1})
        if(CMAKE_MATCH_1 EQUAL 0)
            set(charset ASCII)
        endif()
        set(source ${folder}/lang/${CMAKE_MATCH_2}.rc)
        set(stored ${dir}/${CMAKE_MATCH_2}.rc)
        add_custom_command(OUTPUT ${stored}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
            COMMAND iconv -f UTF-8 -t ${charset} ${source} -o ${stored}
            DEPENDS ${source} ${CMAKE_SOURCE_DIR}/common/logic/language.cpp
            VERBATIM)
        string(APPEND list "#include \"${stored}\"\n")
        list(APPEND stored_files ${stored})
    endforeach()
    file(WRITE ${dir}/texts.rc.new "${list}")
    configure_file(${dir}/texts.rc.new ${dir}/texts.rc COPYONLY)
    set_property(SOURCE ${layout} APPEND PROPERTY OBJECT_DEPENDS ${stored_files})
    # A language file's includes are found beside its source.
    target_include_directories(${target} PRIVATE ${dir} ${folder}/lang)
endfunction()
# A new line in the table configures the tree again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/common/logic/language.cpp)

# The host's resources, shared with the test programs that load its strings.
add_library(hostres OBJECT host/resources/host.rc)
# The resource compiler does not report the manifests it includes.
set_source_files_properties(host/resources/host.rc PROPERTIES OBJECT_DEPENDS
    "${CMAKE_SOURCE_DIR}/host/resources/brindlecap.manifest;${CMAKE_SOURCE_DIR}/host/resources/brindlecap64.manifest")
add_language_texts(hostres ${CMAKE_SOURCE_DIR}/host/resources/host.rc ${CMAKE_SOURCE_DIR}/host/resources)

# Stand-ins for the C runtime's block moves, linked into every product file;
# compiled so that the compiler cannot turn their loops into calls to themselves.
add_library(runtime OBJECT common/runtime.cpp)
target_compile_options(runtime PRIVATE -fno-tree-loop-distribute-patterns)

add_executable(Brindlecap WIN32 host/entry.cpp $<TARGET_OBJECTS:runtime> $<TARGET_OBJECTS:hostres>)
target_link_libraries(Brindlecap PRIVATE hostcore ${HOST_SYSTEM_LIBS})
target_link_options(Brindlecap PRIVATE ${PRODUCT_LINK_OPTIONS} -Wl,-e,${HOST_ENTRY} -mwindows)
set_target_properties(Brindlecap PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${BIN_DIR})
drop_unwind_tables(Brindlecap)

# One Xvfb and one persistent wineserver for the whole test run, in a prefix
# of the tree's own architecture.
set(WINE_HOME ${CMAKE_BINARY_DIR}/wine)
if(BRINDLECAP_X64)
    file(WRITE ${WINE_HOME}/arch win64)
else()
    file(WRITE ${WINE_HOME}/arch win32)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh ${WINE_HOME})
add_test(NAME wine_session_start COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh start ${WINE_HOME})
add_test(NAME wine_session_stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh stop ${WINE_HOME})
# 77: a 32-bit tree on a machine that runs no 32-bit programs; the entry is
# reported as skipped.
set_tests_properties(wine_session_start PROPERTIES FIXTURES_SETUP wine SKIP_RETURN_CODE 77)
set_tests_properties(wine_session_stop PROPERTIES FIXTURES_CLEANUP wine)

# The properties of every entry that runs under this tree's Wine.
function(set_wine_test_properties name)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine RESOURCE_LOCK wine TIMEOUT 300
                         SKIP_RETURN_CODE 77)
endfunction()

# A test program that runs under Wine: `target` with its arguments.
function(add_wine_test name target)
    add_test(NAME ${name} COMMAND ${target} ${ARGN})
    set_wine_test_properties(${name})
endfunction()

# The shipped files load on every 32-bit Windows from 95 on.

add_subdirectory(modules)
add_subdirectory(tests/win32)
add_subdirectory(tests/e2e)
add_subdirectory(tests/dist)
add_subdirectory(bench)
