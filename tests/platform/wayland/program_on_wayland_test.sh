#!/usr/bin/env bash
# The desktop program in a Wayland session (scripts/headless-sway.sh): it starts on Qt's Wayland
# platform, its first window shows, its tray icon registers with the session's StatusNotifierItem
# host, and `tern quit-running` reaches it through its socket and ends it with status 0.
#   program_on_wayland_test.sh BIN_DIR
# Without a compositor it skips (status 77), unless TERN_REQUIRE_WAYLAND=1.
set -euo pipefail
bin=$1
source "$(dirname "$0")/sway_test_lib.sh"
sway_test_init program

QT_QPA_PLATFORM=wayland "$bin/tern-clipboard" >"$home/program.log" 2>&1 &
pid=$!
pids+=("$pid")

has_window() { swaymsg -t get_tree | grep -q '"app_id": "com.quarrowlabs.TernClipboard"'; }
wait_for 150 has_window || fail "no window of the program appeared"

tray_items() {
    dbus-send --session --print-reply --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
        org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
        string:RegisteredStatusNotifierItems | grep -q 'string "'
}
wait_for 100 tray_items || fail "the tray icon did not register with the tray host"

if [ -n "${TERN_ARTIFACTS_DIR:-}" ]; then
    grim "$TERN_ARTIFACTS_DIR/wayland-program-first-start.png" || true
fi

answer=$("$bin/tern" quit-running) || fail "quit-running was not taken: $answer"
ended() { ! kill -0 "$pid" 2>/dev/null; }
wait_for 100 ended || fail "the program did not end after accepting to quit"
status=0
wait "$pid" || status=$?
pids=()
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "PASS: the program ran on Wayland with its tray icon and quit on request"
