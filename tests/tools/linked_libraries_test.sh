#!/usr/bin/env bash
# The command-line tool runs without a desktop: it links no Qt and no X library. Only its sender of
# private messages uses libxcb, loaded when it runs; without a display it finds no running copy.
set -euo pipefail
tern=$1

fail() { echo "FAIL: $*" >&2; exit 1; }

libraries=$(ldd "$tern") || fail "ldd could not read $tern"
if desktop=$(printf '%s\n' "$libraries" | grep -Ei 'libQt|libxcb|libX11'); then
    fail "tern links desktop libraries:
$desktop"
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
status=0
err=$(env -u DISPLAY HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
    "$tern" quit-running 2>&1 >/dev/null) || status=$?
[ "$status" = 1 ] || fail "quit-running without a display exited $status ($err)"
[[ $err == "No running Tern Clipboard"* ]] || fail "quit-running without a display said '$err'"
echo "tern links no Qt, xcb or X11 library"
