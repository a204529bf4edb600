# shellcheck shell=bash
# What the desktop program's tests in a Wayland session (scripts/headless-sway.sh) share; sourced after
# `set -euo pipefail`.
#   require_sway_session   -- without a sway session the test skips (status 77), unless
#                             TERN_REQUIRE_WAYLAND=1 makes that a failure
#   sway_test_init NAME    -- the above, a home folder of the test's own ($home, removed at the end),
#                             and every PID in `pids` stopped at the end
#   menu_shown, menu_focused -- whether the program's hotkey menu shows, and has the keyboard
# shellcheck source=tests/support/test_processes.sh
. "$(dirname "${BASH_SOURCE[0]}")/../../support/test_processes.sh"

require_sway_session() {
    if [ -z "${WAYLAND_DISPLAY:-}" ] || [ -z "${SWAYSOCK:-}" ]; then
        [ "${TERN_REQUIRE_WAYLAND:-}" = 1 ] && { echo "no Wayland session to test in" >&2; exit 1; }
        echo "no Wayland session: skipped"
        exit 77
    fi
}

sway_test_init() {
    test_name=$1
    require_sway_session
    home=$(mktemp -d "${TMPDIR:-/tmp}/tern-wayland-$test_name.XXXXXX")
    pids=()
    trap sway_test_cleanup EXIT
    export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
}

sway_test_cleanup() {
    stop_started
    rm -rf "$home"
}

# A failure shows the session and what the program said.
fail() {
    echo "FAIL: $*" >&2
    [ -n "${TERN_ARTIFACTS_DIR:-}" ] && grim "$TERN_ARTIFACTS_DIR/wayland-$test_name-failure.png" 2>/dev/null
    cat "$home/program.log" >&2 2>/dev/null || true
    exit 1
}

# The session's windows, one a line: "APP_ID NAME TYPE FULLSCREEN FOCUSED X Y WIDTH HEIGHT", with the
# blanks of an app id or name written as "_" (a window without an app id shows "-").
sway_windows() {
    swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from walk(child)
for n in walk(json.load(sys.stdin)):
    if n.get("type") in ("con", "floating_con"):
        r = n["rect"]
        print((n.get("app_id") or "-").replace(" ", "_"), (n.get("name") or "-").replace(" ", "_"), n["type"],
              n["fullscreen_mode"], int(n["focused"]), r["x"], r["y"], r["width"], r["height"])'
}

# The program's hotkey menu, a floating window of ours with the program's title: shown, and shown with
# the keyboard.
menu_shown() { sway_windows | grep -q "^com.quarrowlabs.TernClipboard Tern_Clipboard floating_con "; }
menu_focused() { sway_windows | grep -q "^com.quarrowlabs.TernClipboard Tern_Clipboard floating_con 0 1 "; }

# The program signed in as a user of a service that cannot be reached, without an update check: it
# starts without a dialog.
sign_in_offline() {
    "$bin/tern" config set ServiceHost http://127.0.0.1:9
    "$bin/tern" config set CheckUpdates 0
    "$bin/tern" config set Login ann@example.org
    "$bin/tern" config set Password "$(printf 'secret-pass' | "$bin/tern" digest)"
}
