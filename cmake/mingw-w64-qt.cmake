# Cross-compiles Qt itself for 64-bit Windows with MinGW-w64 from Debian (used by
# scripts/build-windows-deps.sh). Unlike mingw-w64.cmake it links nothing statically: Qt is built as
# DLLs that use MinGW's runtime DLLs, which are shipped beside them. Qt brings its own copies of
# zlib, libpng, libjpeg, FreeType, HarfBuzz and PCRE, and finds the build machine's Qt (the host tools)
# itself, so the file names the compilers only.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
