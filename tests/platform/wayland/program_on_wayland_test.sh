#!/usr/bin/env bash
# The desktop program in a Wayland session (scripts/headless-sway.sh): it starts on Qt's Wayland
# platform, its first window shows, its tray icon registers with the session's StatusNotifierItem
# host, and `tern quit-running` reaches it through its socket and ends it with status 0.
#   program_on_wayland_test.sh BIN_DIR
# Without a compositor it skips (status 77), unless TERN_REQUIRE_WAYLAND=1.
set -euo pipefail
bin=$1
if [ -z "${WAYLAND_DISPLAY:-}" ] || [ -z "${SWAYSOCK:-}" ]; then
    [ "${TERN_REQUIRE_WAYLAND:-}" = 1 ] && { echo "no Wayland session to test in" >&2; exit 1; }
    echo "no Wayland session: skipped"
    exit 77
fi

home=$(mktemp -d "${TMPDIR:-/tmp}/tern-wayland-home.XXXXXX")
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$home"
}
trap cleanup EXIT

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1; shift
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share QT_QPA_PLATFORM=wayland \
    "$bin/tern-clipboard" >"$home/program.log" 2>&1 &
pid=$!

has_window() { swaymsg -t get_tree | grep -q '"app_id": "com.quarrowlabs.TernClipboard"'; }
wait_for 150 has_window || { echo "FAIL: no window of the program appeared" >&2; cat "$home/program.log" >&2; exit 1; }

tray_items() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems | grep -q 'string "'
}
wait_for 100 tray_items || { echo "FAIL: the tray icon did not register with the tray host" >&2; exit 1; }

if [ -n "${TERN_ARTIFACTS_DIR:-}" ]; then
    grim "$TERN_ARTIFACTS_DIR/wayland-program-first-start.png" || true
fi

answer=$("$bin/tern" quit-running) || { echo "FAIL: quit-running was not taken: $answer" >&2; exit 1; }
ended() { ! kill -0 "$pid" 2>/dev/null; }
wait_for 100 ended || { echo "FAIL: the program did not end after accepting to quit" >&2; exit 1; }
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || { echo "FAIL: the program ended with status $status" >&2; exit 1; }
echo "PASS: the program ran on Wayland with its tray icon and quit on request"
