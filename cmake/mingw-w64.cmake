# Cross-compiles for 64-bit Windows with MinGW-w64 from Debian. The POSIX-threads variant of the
# compiler is the one with std::thread and std::mutex.
#
# The libraries that Debian does not ship for MinGW (libpng, libjpeg-turbo, libdeflate, Crypto++,
# GoogleTest) are built by scripts/build-windows-deps.sh into one prefix: the environment variable
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

# Qt for Windows (DLLs) has a prefix of its own beside the libraries' (TERN_WINDOWS_QT_DIR), used by a
# build configured with -DTERN_WINDOWS_DESKTOP=ON once Qt's build finished; its host tools (moc, rcc,
# uic) are the build machine's Qt of the same version.
if(DEFINED ENV{TERN_WINDOWS_QT_DIR})
    set(TERN_WINDOWS_QT_DIR "$ENV{TERN_WINDOWS_QT_DIR}")
else()
    get_filename_component(_tern_deps_parent "${TERN_WINDOWS_DEPS_DIR}" DIRECTORY)
    set(TERN_WINDOWS_QT_DIR "${_tern_deps_parent}/qt6-mingw-w64")
endif()
file(GLOB _tern_qt_stamp "${TERN_WINDOWS_QT_DIR}/stamps/qt6-base-*")
set(_tern_qt_prefix "")
if(TERN_WINDOWS_DESKTOP AND _tern_qt_stamp)
    set(_tern_qt_prefix "${TERN_WINDOWS_QT_DIR}")
    set(QT_HOST_PATH /usr)
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
endif()

# Headers and libraries come from the MinGW sysroot and the prefixes of built libraries only; programs
# (windres, pkg-config) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${TERN_MINGW_TRIPLE} ${TERN_WINDOWS_DEPS_DIR} ${_tern_qt_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config reads the prefix's .pc files, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${TERN_WINDOWS_DEPS_DIR}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Every executable carries its own C and C++ runtime and thread library, so that it imports system
# DLLs only (the desktop program imports Qt's DLLs besides, shipped beside it with the MinGW runtime
# DLLs that they use). zlib is linked statically for the same reason (a Windows machine has no zlib1.dll).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(ZLIB_USE_STATIC_LIBS ON)

# Tests run under Wine; test lists are read when the tests run, so building needs no Wine.
find_program(TERN_WINE_PROGRAM NAMES wine wine64)
if(TERN_WINE_PROGRAM)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TERN_WINE_PROGRAM})
endif()
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
