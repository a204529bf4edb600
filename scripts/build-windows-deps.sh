#!/usr/bin/env bash
# Cross-builds the libraries of the Windows build that Debian does not ship for MinGW-w64 (libpng,
# libjpeg-turbo, libdeflate, Crypto++, libsodium, GoogleTest) from Debian's own source packages, as
# static libraries, into one prefix outside the checkout. Each library is built only when the prefix
# lacks its version, so a machine builds them once. nlohmann-json is header-only: Debian's headers are copied as they are.
#
#   scripts/build-windows-deps.sh            (prefix: $TERN_WINDOWS_DEPS_DIR, see below)
#   TERN_WINDOWS_DESKTOP=1 scripts/build-windows-deps.sh    also Qt 6 for Windows, for the desktop
#                                            program (prefix: $TERN_WINDOWS_QT_DIR)
#
# The source packages are fetched with a private sources list and package lists: the machine's own
# apt configuration and lists stay as they are.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$source_dir/cmake/mingw-w64.cmake

if [ -z "${TERN_WINDOWS_DEPS_DIR:-}" ]; then
    if [ -w /var/cache ]; then
        TERN_WINDOWS_DEPS_DIR=/var/cache/tern-windows-deps/mingw-w64
    else
        TERN_WINDOWS_DEPS_DIR=$HOME/.cache/tern-windows-deps/mingw-w64
    fi
fi
export TERN_WINDOWS_DEPS_DIR
prefix=$TERN_WINDOWS_DEPS_DIR
stamps=$prefix/stamps
mkdir -p "$stamps"
# One build at a time per prefix: a second run waits, then finds the libraries present.
exec 9>"$prefix/.lock"
flock 9

triple=x86_64-w64-mingw32
cc=$triple-gcc-posix
cxx=$triple-g++-posix
# Each library's upstream version; the stamp of a build is its name, version and the compiler's.
compiler=$($cxx -dumpversion)
declare -A versions=(
    [libpng1.6]=1.6.39
    [libjpeg-turbo]=2.1.5
    [libdeflate]=1.14
    [libcrypto++]=8.7.0
    [libsodium]=1.0.18
    [googletest]=1.12.1
)
stamp_of() { echo "$stamps/$1-${versions[$1]}-gcc$compiler"; }

missing=()
for package in libpng1.6 libjpeg-turbo libdeflate libcrypto++ libsodium googletest; do
    [ -e "$(stamp_of "$package")" ] || missing+=("$package")
done

# nlohmann-json: the headers and CMake package files of the build machine's package.
if [ ! -e "$prefix/share/cmake/nlohmann_json/nlohmann_jsonConfig.cmake" ]; then
    mkdir -p "$prefix/include" "$prefix/share/cmake"
    cp -r /usr/include/nlohmann "$prefix/include/"
    cp -r /usr/share/cmake/nlohmann_json "$prefix/share/cmake/"
fi

if [ ${#missing[@]} -eq 0 ]; then
    echo "Windows libraries: all present in $prefix"
else
    echo "Windows libraries: building ${missing[*]} into $prefix"

    # Sources and objects stay beside the prefix until their library is installed, so that a build cut
    # short goes on where it stopped.
    work=$(dirname "$prefix")/work-$(basename "$prefix")
    mkdir -p "$work"

    # A private apt state that knows Debian 12's source packages.
    mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
    echo "deb-src http://deb.debian.org/debian bookworm main" >"$work/apt/sources.list"
    apt_private=(-o "Dir::Etc::SourceList=$work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache" -o APT::Sandbox::User=root)
    apt-get "${apt_private[@]}" -qq update

    # Unpacks the package's source (Debian's patches applied) into $work/src, unless there already, and
    # prints its folder.
    fetch_source() {
        local package=$1
        local folder
        folder=$(find "$work/src/$package" -mindepth 1 -maxdepth 1 -type d 2>/dev/null | head -n 1)
        if [ -z "$folder" ]; then
            rm -rf "$work/src/$package"
            mkdir -p "$work/src/$package"
            (cd "$work/src/$package" &&
                apt-get "${apt_private[@]}" -qq source "$package/bookworm" >/dev/null 2>&1) ||
                { echo "cannot fetch the source of $package" >&2; return 1; }
        fi
        folder=$(find "$work/src/$package" -mindepth 1 -maxdepth 1 -type d | head -n 1)
        case "$(basename "$folder")" in
            *-"${versions[$package]}"*) ;;
            *)
                echo "$package: expected version ${versions[$package]}, got $(basename "$folder")" >&2
                return 1
                ;;
        esac
        echo "$folder"
    }

    cmake_build() {
        local source=$1; shift
        cmake -S "$source" -B "$source/build-mingw" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" \
            >/dev/null
        cmake --build "$source/build-mingw" -j2 >/dev/null
        cmake --install "$source/build-mingw" >/dev/null
    }

    for package in "${missing[@]}"; do
        [ -e "$(stamp_of "$package")" ] && continue
        started=$SECONDS
        source=$(fetch_source "$package")
        case "$package" in
            libpng1.6)
                cmake_build "$source" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
                    -DZLIB_USE_STATIC_LIBS=ON ;;
            libjpeg-turbo)
                cmake_build "$source" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF ;;
            libdeflate)
                # Its own makefile names a MinGW archive after MSVC; the library is a handful of C files.
                objects=()
                for file in "$source"/lib/*.c "$source"/lib/*/*.c; do
                    object=$source/build-mingw/$(basename "$(dirname "$file")")-$(basename "$file" .c).o
                    mkdir -p "$source/build-mingw"
                    $cc -O2 -DNDEBUG -I"$source" -c "$file" -o "$object"
                    objects+=("$object")
                done
                mkdir -p "$prefix/include" "$prefix/lib/pkgconfig"
                $triple-ar rcs "$prefix/lib/libdeflate.a" "${objects[@]}"
                cp "$source/libdeflate.h" "$prefix/include/"
                cat >"$prefix/lib/pkgconfig/libdeflate.pc" <<PC
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: libdeflate
Description: whole-buffer DEFLATE compression (static, MinGW-w64)
Version: ${versions[$package]}
Libs: -L\${libdir} -ldeflate
Cflags: -I\${includedir}
PC
                ;;
            libsodium)
                # Autotools, regenerated as Debian's build does; only the static archive. Its headers
                # import from a DLL unless SODIUM_STATIC is defined, so the package file defines it.
                "$source_dir/scripts/install-deps.sh" autoconf automake libtool
                (cd "$source" && autoreconf -fi >/dev/null 2>&1 &&
                    ./configure --host=$triple CC="$cc" --prefix="$prefix" --disable-shared --enable-static \
                        --disable-dependency-tracking CFLAGS="-O2" >/dev/null &&
                    make -j2 >/dev/null && make install >/dev/null)
                cat >"$prefix/lib/pkgconfig/libsodium.pc" <<PC
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: libsodium
Description: libsodium cryptography (static, MinGW-w64)
Version: ${versions[$package]}
Libs: -L\${libdir} -lsodium
Cflags: -I\${includedir} -DSODIUM_STATIC
PC
                ;;
            googletest)
                cmake_build "$source" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_force_shared_crt=ON ;;
            libcrypto++)
                make -C "$source" -f GNUmakefile -j2 CXX="$cxx" AR=$triple-ar RANLIB=$triple-ranlib \
                    CXXFLAGS="-DNDEBUG -O2 -D_WIN32_WINNT=0x0601" static >/dev/null
                mkdir -p "$prefix/include/cryptopp" "$prefix/lib/pkgconfig"
                cp "$source"/*.h "$prefix/include/cryptopp/"
                # Debian's build names the archive after its package.
                cp "$(ls "$source"/libcrypto++.a "$source"/libcryptopp.a 2>/dev/null | head -n 1)" \
                    "$prefix/lib/libcryptopp.a"
                # The same package name as Debian's, so that the project finds it the same way.
                cat >"$prefix/lib/pkgconfig/libcrypto++.pc" <<PC
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: Crypto++
Description: Crypto++ class library (static, MinGW-w64)
Version: ${versions[$package]}
Libs: -L\${libdir} -lcryptopp -lws2_32
Cflags: -I\${includedir}
PC
                ;;
        esac
        touch "$(stamp_of "$package")"
        echo "  $package ${versions[$package]}: $((SECONDS - started)) s"
        rm -rf "$work/src/$package"
    done
fi
# The libraries are there: a run that waits for Qt below does not hold up the others.
flock --unlock 9

# Qt 6 for Windows (Core, Gui, Widgets, Test) from Debian's qt6-base source, as DLLs: Qt is LGPL, and
# the installer ships its DLLs beside the program, where a user can replace them. Its own prefix and
# lock: a build without the desktop program never waits for it, and a prefix of the libraries above
# without Qt stays as it was. The build machine's Qt provides the host tools (moc, rcc, uic), so it
# must stay the version that the stamp names.
[ "${TERN_WINDOWS_DESKTOP:-0}" = 1 ] || exit 0
qt_prefix=${TERN_WINDOWS_QT_DIR:-$(dirname "$prefix")/qt6-mingw-w64}
qt_version=6.4.2
host_qt=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
qt_stamp=$qt_prefix/stamps/qt6-base-$qt_version-host$host_qt-gcc$compiler
mkdir -p "$qt_prefix/stamps"
exec 8>"$qt_prefix/.lock"
flock 8
if [ -e "$qt_stamp" ]; then
    echo "Qt for Windows: present in $qt_prefix"
    exit 0
fi
echo "Qt for Windows: building Qt $qt_version into $qt_prefix (about 40 CPU-minutes)"
started=$SECONDS
qt_work=$(dirname "$qt_prefix")/work-$(basename "$qt_prefix")
mkdir -p "$qt_work/apt/lists/partial" "$qt_work/apt/cache/archives/partial" "$qt_work/src/qt6-base"
echo "deb-src http://deb.debian.org/debian bookworm main" >"$qt_work/apt/sources.list"
qt_apt=(-o "Dir::Etc::SourceList=$qt_work/apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$qt_work/apt/lists" -o "Dir::Cache=$qt_work/apt/cache" -o APT::Sandbox::User=root)
qt_source=$qt_work/src/qt6-base/qt6-base-$qt_version+dfsg
if [ ! -x "$qt_source/configure" ]; then
    rm -rf "$qt_work/src/qt6-base" && mkdir -p "$qt_work/src/qt6-base"
    apt-get "${qt_apt[@]}" -qq update
    (cd "$qt_work/src/qt6-base" && apt-get "${qt_apt[@]}" -qq source "qt6-base=${host_qt}" >/dev/null 2>&1) ||
        { echo "cannot fetch the source of qt6-base $host_qt" >&2; exit 1; }
fi
# A previous installation without its stamp (a run cut short) is replaced.
find "$qt_prefix" -mindepth 1 -maxdepth 1 ! -name stamps ! -name .lock -exec rm -rf {} +
qt_build=$qt_work/build
# A compiler launcher named by the environment (a compiler cache) would enter Qt's compile commands
# whenever its CMake runs again, which a resumed build may do, and so make it compile all of Qt anew.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
# A build cut short resumes where it stopped when it was configured for the same Qt, host tools and
# compiler; anything else starts afresh.
qt_configured=$qt_build/configured-$(basename "$qt_stamp")
if [ ! -e "$qt_configured" ]; then
    rm -rf "$qt_build" && mkdir -p "$qt_build"
    # Only what the program uses: no OpenGL, SQL, network, XML, D-Bus or printing. Without Direct2D the
    # DirectWrite 3 feature cannot link; Debian's source lacks the Wintab headers of tablet events.
    (cd "$qt_build" && "$qt_source/configure" -prefix "$qt_prefix" -xplatform win32-g++ \
        -device-option CROSS_COMPILE=$triple- -qt-host-path /usr -shared -release -optimize-size \
        -nomake examples -nomake tests -no-opengl -no-dbus -no-feature-sql -no-feature-network \
        -no-feature-xml -no-feature-concurrent -no-feature-printsupport -no-feature-tabletevent \
        -no-direct2d -no-feature-directwrite3 -no-vulkan -no-icu -no-zstd -no-pkg-config -qt-zlib \
        -qt-libpng -qt-libjpeg -qt-freetype -qt-harfbuzz -qt-pcre -qt-doubleconversion \
        -no-feature-androiddeployqt -- -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-qt.cmake" \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake) >"$qt_work/configure.log" 2>&1 ||
        { tail -n 40 "$qt_work/configure.log" >&2; echo "Qt's configure failed (see $qt_work/configure.log)" >&2; exit 1; }
    touch "$qt_configured"
fi
cmake --build "$qt_build" --parallel 2 >>"$qt_work/build.log" 2>&1 ||
    { tail -n 40 "$qt_work/build.log" >&2; echo "Qt's build failed: $qt_work/build.log" >&2; exit 1; }
cmake --install "$qt_build" >/dev/null

# A Widgets program must link against the result before it counts as built.
smoke=$qt_work/smoke
rm -rf "$smoke" && mkdir -p "$smoke"
cat >"$smoke/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.21)
project(qt_smoke CXX)
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)
add_executable(qt_smoke WIN32 main.cpp)
target_link_libraries(qt_smoke PRIVATE Qt6::Widgets Qt6::Test)
CMAKE
cat >"$smoke/main.cpp" <<'CPP'
#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QSystemTrayIcon icon;
    QMenu menu;
    icon.setContextMenu(&menu);
    QTest::qWait(1);
    return 0;
}
CPP
cmake -S "$smoke" -B "$smoke/build" -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64-qt.cmake" \
    -DCMAKE_PREFIX_PATH="$qt_prefix" -DQT_HOST_PATH=/usr -DCMAKE_FIND_ROOT_PATH="$qt_prefix" \
    >"$qt_work/smoke.log" 2>&1 &&
    cmake --build "$smoke/build" >>"$qt_work/smoke.log" 2>&1 ||
    { tail -n 40 "$qt_work/smoke.log" >&2; echo "a Qt program does not link (see $qt_work/smoke.log)" >&2; exit 1; }
touch "$qt_stamp"
echo "  Qt $qt_version: $((SECONDS - started)) s, $(du -sh "$qt_prefix" | cut -f1) installed"
rm -rf "$qt_work"
