# The native tree: the Win32-free logic with its unit tests, fuzz targets
# and, in a tree of its own (BRINDLECAP_TSAN=ON), the concurrency tests
# under ThreadSanitizer.
option(BRINDLECAP_TSAN "build the ThreadSanitizer variant" OFF)
add_compile_options(-Wall -Wextra -g -O1 -fno-omit-frame-pointer)
if(BRINDLECAP_TSAN)
    set(SANITIZERS -fsanitize=thread)
else()
    set(SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
add_compile_options(${SANITIZERS})
add_link_options(${SANITIZERS})

# Debian's GoogleTest sources, built here: nothing is downloaded.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(logic STATIC ${LOGIC_SOURCES})
target_compile_options(logic PRIVATE -pthread)
target_link_libraries(logic PUBLIC pthread)

# The process list's own logic: the module builds it in, the host does not.
add_library(taskroll_logic STATIC modules/taskroll/logic/taskroll.cpp)
target_link_libraries(taskroll_logic PUBLIC logic)

add_subdirectory(tests/unit)
if(NOT BRINDLECAP_TSAN AND CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    add_subdirectory(tests/fuzz)
endif()
