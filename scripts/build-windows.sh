#!/usr/bin/env bash
# The Windows build on a Debian 12 machine: installs the cross compiler, Wine and NSIS, builds (or
# reuses) the Windows libraries, cross-builds the core, the Win32 platform layer, tern.exe and their
# tests, checks that tern.exe imports system DLLs only and that every other DLL a program needs lies
# beside it, and runs the tests under Wine inside a headless desktop. The last line is ctest's summary.
# With TERN_WINDOWS_DESKTOP=1 it also builds (or reuses) Qt for Windows, and with it the desktop
# program tern-clipboard.exe and its installer BUILD_DIR/tern-clipboard-VERSION-setup.exe.
#   scripts/build-windows.sh [BUILD_DIR]       (default build/windows)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build/windows}
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)

echo "== Windows build: packages"
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libz-mingw-w64-dev
    nasm wine wine64 dpkg-dev cmake pkg-config python3 nlohmann-json3-dev xvfb xauth openbox trayer x11-utils
    qt6-base-dev qt6-base-dev-tools perl ninja-build nsis librsvg2-bin)
scripts/install-deps.sh "${packages[@]}"

echo "== Windows build: libraries"
if [ -z "${TERN_WINDOWS_DEPS_DIR:-}" ]; then
    if [ -w /var/cache ]; then
        TERN_WINDOWS_DEPS_DIR=/var/cache/tern-windows-deps/mingw-w64
    else
        TERN_WINDOWS_DEPS_DIR=$HOME/.cache/tern-windows-deps/mingw-w64
    fi
fi
export TERN_WINDOWS_DEPS_DIR
scripts/build-windows-deps.sh

echo "== Windows build: compile"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
desktop=OFF
[ "${TERN_WINDOWS_DESKTOP:-0}" = 1 ] && desktop=ON
cmake --preset windows -B "$build_dir" "${launcher[@]}" -DTERN_WINDOWS_DESKTOP=$desktop >/dev/null
cmake --build "$build_dir" -j2
if grep -q '^installer:' "$build_dir/Makefile"; then
    cmake --build "$build_dir" --target installer
fi

echo "== Windows build: every DLL a program imports comes with Windows or lies beside it"
# tern.exe links the C and C++ runtimes, the thread library and zlib in: it imports system DLLs only.
# The desktop program and its tests import Qt's DLLs, which import MinGW's runtime DLLs: those are
# copied beside them (and installed with them).
scripts/check-windows-imports.sh --system-only "$build_dir/bin/tern.exe" &&
    scripts/check-windows-imports.sh "$build_dir/bin" ||
    { echo "programs import DLLs that are neither Windows' nor shipped" >&2; exit 1; }

echo "== Windows build: tests under Wine"
# A Wine prefix of the build's own, made once; one Wine server serves every test and is stopped at
# the end. No prompts for Wine's .NET and HTML engines, no Wine debug chatter.
export WINEPREFIX=$build_dir/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -e "$WINEPREFIX/system.reg" ]; then
    wine wineboot --init >/dev/null 2>&1
    wineserver --wait
fi
# A server already running for this prefix (an earlier run cut short) is stopped: Wine's desktop
# process must start on the headless display. There the first program starts Wine's own services,
# which takes a while on a busy machine, before any test's time limit runs.
wineserver --kill 2>/dev/null || true
wineserver --persistent
trap 'wineserver --kill || true' EXIT
# Wine's helper processes (services, the desktop's explorer) start with the first Wine program, on
# the headless display, and inherit its standard streams: with those on /dev/null they hold none of
# ctest's pipes, which would otherwise stay open after a test program ends and make ctest wait for
# its time-out.
log="$build_dir/ctest.log"
set +e
scripts/headless-desktop.sh -- sh -c 'wine cmd /c exit 0 </dev/null >/dev/null 2>&1; exec "$@"' warm-up \
    ctest --test-dir "$build_dir" --output-on-failure --timeout 600 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e
wineserver --kill || true
trap - EXIT
summary=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$log" | tail -n 1)
echo "${summary:-no test summary: ctest did not finish (status $status)}"
exit "$status"
