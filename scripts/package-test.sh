#!/usr/bin/env bash
# Builds the two Debian packages from a built folder, installs them on this machine, runs the
# installed programs as a user would (the tool, the service, and the desktop program on a headless
# desktop), then purges them and checks that nothing of theirs is left. Needs root.
#   scripts/package-test.sh [BUILD_DIR]     (default build/ci; screenshots go to artifacts/)
set -euo pipefail
cd "$(dirname "$0")/.."

desktop_id=com.quarrowlabs.TernClipboard
packages=(tern-clipboard tern-server)

fail() { echo "FAIL: $*" >&2; exit 1; }
# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1 i
    shift
    for ((i = 0; i < tenths; i++)); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

# The desktop part, run inside the headless desktop: the installed program's first start shows the
# language selection and the tray icon; the quit message ends it with status 0.
if [ "${1:-}" = "--first-start" ]; then
    work=$2 artifacts=$3
    export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_DATA_HOME=$work/home/data
    export XDG_RUNTIME_DIR=$work/home/runtime
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    /usr/bin/tern-clipboard 2>"$work/program.log" &
    program=$!
    trap 'kill $program 2>/dev/null || true' EXIT
    window_shown() { xdotool search --onlyvisible --name "^Tern Clipboard - Select Language\$"; }
    tray_icon() {
        local w
        for w in $(xdotool search --onlyvisible --pid $program 2>/dev/null); do
            eval "$(xdotool getwindowgeometry --shell "$w")"
            [ "$WIDTH" -le 32 ] && return 0
        done
        return 1
    }
    wait_for 200 window_shown || { cat "$work/program.log" >&2; fail "the installed program showed no language selection"; }
    wait_for 100 tray_icon || fail "the installed program shows no tray icon"
    sleep 0.5 # let the dialog paint before the picture is taken
    /usr/bin/import -window root "$artifacts/package-first-start.png"
    /usr/bin/tern quit-running >/dev/null || fail "the installed program did not take the quit message"
    wait_for 100 bash -c "! kill -0 $program" || fail "the installed program did not end"
    wait $program || fail "the installed program ended with status $?"
    trap - EXIT
    exit 0
fi

[ "$(id -u)" -eq 0 ] || fail "installing packages needs root"
build_dir=$(cd "${1:-build/ci}" && pwd)
artifacts=${TERN_ARTIFACTS_DIR:-$PWD/artifacts}
mkdir -p "$artifacts"
work=$(mktemp -d)
server=
cleanup() {
    [ -z "$server" ] || { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; }
    for p in "${packages[@]}"; do
        if dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q installed; then
            locked_dpkg --purge "$p" >/dev/null || true
        fi
    done
    rm -rf "$work"
}
trap cleanup EXIT
# dpkg is run one at a time with the machine's other package jobs.
locked_dpkg() { flock /tmp/apt.lock dpkg "$@"; }

echo "-- building the packages"
cmake --build "$build_dir" -j2 --target tern tern-clipboard tern-server tern_install_files >/dev/null
rm -rf "$build_dir/packages"
(cd "$build_dir" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
debs=()
for p in "${packages[@]}"; do
    deb=$(ls "$build_dir"/packages/"${p}_${version}"_*.deb)
    debs+=("$deb")
    echo "$(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
done

# Every path the packages hold, and whether it was there before them: what they bring must go again.
for p in "${packages[@]}"; do dpkg-query -W "$p" >/dev/null 2>&1 && locked_dpkg --purge "$p" >/dev/null; done
for deb in "${debs[@]}"; do dpkg-deb -c "$deb" | awk '{print substr($6, 2)}'; done | sed 's|/$||' | sort -u |
    while read -r path; do
        [ -z "$path" ] || { [ -e "$path" ] && echo "old $path" || echo "new $path"; }
    done >"$work/paths"

echo "-- installing"
locked_dpkg -i "${debs[@]}" >/dev/null
for path in /usr/bin/tern /usr/bin/tern-clipboard /usr/bin/tern-server \
    /usr/share/tern-clipboard/Languages/english.lng /usr/share/tern-clipboard/Languages/german.lng \
    /usr/share/applications/$desktop_id.desktop /usr/share/metainfo/$desktop_id.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/$desktop_id.svg /usr/share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/$desktop_id.png \
    /usr/share/man/man1/tern.1.gz /usr/share/man/man1/tern-clipboard.1.gz /usr/share/man/man8/tern-server.8.gz \
    /usr/lib/systemd/system/tern-server.service; do
    [ -e "$path" ] || fail "not installed: $path"
done
desktop-file-validate /usr/share/applications/$desktop_id.desktop || fail "the desktop entry is not valid"
appstreamcli validate --no-net /usr/share/metainfo/$desktop_id.metainfo.xml >"$work/appstream.log" ||
    { cat "$work/appstream.log"; fail "the metainfo is not valid"; }
for page in /usr/share/man/man1/tern.1.gz /usr/share/man/man1/tern-clipboard.1.gz /usr/share/man/man8/tern-server.8.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "manual page $page: $warnings"
done
systemd-analyze verify /usr/lib/systemd/system/tern-server.service || fail "the systemd unit is not valid"
grep -qx "ExecStart=/usr/bin/tern-server .*" /usr/lib/systemd/system/tern-server.service ||
    fail "the systemd unit does not start the installed service"

echo "-- running the installed programs"
for program in tern tern-clipboard tern-server; do
    installed_version=$("/usr/bin/$program" --version) || fail "$program --version failed"
    [[ "$installed_version" == *"$version"* ]] || fail "$program --version says '$installed_version', not $version"
    echo "$program --version: $installed_version"
done
mkdir -p "$work/home"
[ "$(HOME=$work/home XDG_CONFIG_HOME= XDG_DATA_HOME= /usr/bin/tern text GLOBAL bOk)" = "OK" ] ||
    fail "the installed tool does not find the installed language files"

/usr/bin/tern-server --listen 127.0.0.1:0 --data "$work/server" >"$work/server.out" 2>"$work/server.log" &
server=$!
wait_for 100 grep -q "listening on" "$work/server.out" || { cat "$work/server.log"; fail "the installed service did not start"; }
address=$(sed -n 's/.*listening on \(http[^ ]*\).*/\1/p' "$work/server.out")
curl -fsS "$address/" -o /dev/null || fail "the installed service does not serve its start page"
kill "$server" && wait "$server" || fail "the installed service did not stop cleanly on SIGTERM"
server=

scripts/headless-desktop.sh -- bash "$0" --first-start "$work" "$artifacts"
for path in /usr/bin/Languages /usr/bin/Help /usr/share/tern-clipboard/Help; do
    [ ! -e "$path" ] || fail "the installed program created $path"
done
echo "the installed program started: $artifacts/package-first-start.png"

echo "-- purging"
locked_dpkg --purge "${packages[@]}" >/dev/null
left=$(awk '$1 == "new" {print $2}' "$work/paths" | while read -r path; do [ ! -e "$path" ] || echo "$path"; done)
[ -z "$left" ] || fail "left behind after purging: $left"
for path in /var/lib/tern-server /var/lib/private/tern-server; do
    [ ! -e "$path" ] || fail "left behind after purging: $path"
done
echo "package test: 2 packages built, installed, run and purged"
