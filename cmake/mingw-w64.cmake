# Cross-compiles for 64-bit Windows with MinGW-w64 from Debian. The POSIX-threads variant of the
# compiler is the one with std::thread and std::mutex.
#
# The libraries that Debian does not ship for MinGW (libpng, libjpeg-turbo, libdeflate, Crypto++,
# GoogleTest) are built by scripts/build-windows.sh into one prefix: the environment variable
# TERN_WINDOWS_DEPS_DIR names it (default /var/cache/tern-windows-deps/mingw-w64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TERN_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TERN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TERN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TERN_MINGW_TRIPLE}-windres)

if(DEFINED ENV{TERN_WINDOWS_DEPS_DIR})
    set(TERN_WINDOWS_DEPS_DIR "$ENV{TERN_WINDOWS_DEPS_DIR}")
else()
    set(TERN_WINDOWS_DEPS_DIR /var/cache/tern-windows-deps/mingw-w64)
endif()

# Headers and libraries come from the MinGW sysroot and the prefix of built libraries only; programs
# (windres, pkg-config) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TERN_MINGW_TRIPLE} ${TERN_WINDOWS_DEPS_DIR})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config reads the prefix's .pc files, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${TERN_WINDOWS_DEPS_DIR}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Every executable carries its own C and C++ runtime and thread library, so that it imports system
# DLLs only. zlib is linked statically for the same reason (a Windows machine has no zlib1.dll).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(ZLIB_USE_STATIC_LIBS ON)

# Tests run under Wine; test lists are read when the tests run, so building needs no Wine.
find_program(TERN_WINE_PROGRAM NAMES wine wine64)
if(TERN_WINE_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TERN_WINE_PROGRAM})
endif()
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
