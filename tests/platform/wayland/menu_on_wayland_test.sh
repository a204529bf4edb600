#!/usr/bin/env bash
# The hotkey's stand-in in a Wayland session (scripts/headless-sway.sh): with none running,
# `tern-clipboard --menu` says so and ends with status 1; a copy that starts says once, in a desktop
# notification, that the hotkey must be bound in the desktop; beside it `--menu` is taken (status 0)
# and the hotkey menu opens as a floating window of the program that has the keyboard; Esc closes it,
# and a letter chooses its command: the menu closes at once, and the area selector it opens takes Esc.
#   menu_on_wayland_test.sh BIN_DIR
# Without a compositor it skips (status 77), unless TERN_REQUIRE_WAYLAND=1.
set -euo pipefail
bin=$1
source "$(dirname "$0")/sway_test_lib.sh"
sway_test_init menu
unset DISPLAY

status=0
said=$("$bin/tern-clipboard" --menu 2>&1) || status=$?
[ $status -eq 1 ] && grep -qi "no running" <<<"$said" || fail "--menu with none running: $status, '$said'"

sign_in_offline
QT_QPA_PLATFORM=wayland "$bin/tern-clipboard" >"$home/program.log" 2>&1 &
pid=$!
pids+=("$pid")

# Once started, the copy says in a desktop notification that the hotkey is the desktop's to bind.
start_notice() { makoctl list | grep -q "tern-clipboard --menu"; }
wait_for 150 start_notice || fail "no notice of the hotkey at start: $(makoctl list 2>&1)"
wait_for 50 "$bin/tern-clipboard" --menu || fail "--menu was not taken by the running copy"
wait_for 50 menu_focused || fail "--menu opened no focused menu window"
[ -n "${TERN_ARTIFACTS_DIR:-}" ] && grim "$TERN_ARTIFACTS_DIR/wayland-menu-on-request.png"
wtype -k Escape
wait_for 50 eval '! menu_focused' || fail "the menu did not close on Esc"

# A letter chooses its command and the menu closes at once (as a window it stayed open and kept the
# keyboard): C, Remote Copy, which opens no window of its own and fails against the service that
# cannot be reached.
makoctl dismiss --all
"$bin/tern-clipboard" --menu || fail "--menu was not taken the second time"
wait_for 50 menu_focused || fail "the second --menu opened no menu"
wtype c
wait_for 30 eval '! menu_shown' || fail "the menu stayed open after its letter"
wait_for 100 eval 'makoctl list | grep -q "Tern Clipboard"' || fail "Remote Copy chosen by its letter said nothing"
# A, Annotate & Share Area, opens the selector full screen, and the selector takes Esc.
selector_shown() { sway_windows | grep -q "^com.quarrowlabs.TernClipboard Tern_Clipboard con 1 1 "; }
"$bin/tern-clipboard" --menu || fail "--menu was not taken the third time"
wait_for 50 menu_focused || fail "the third --menu opened no menu"
wtype a
wait_for 100 selector_shown || fail "choosing Annotate & Share Area by its letter opened no selector"
wtype -k Escape
wait_for 50 eval '! selector_shown' || fail "Esc did not end the selector opened from the menu"
kill -0 "$pid" || fail "the program ended"
echo "PASS: --menu opened the hotkey menu of the copy running on Wayland, and its letters choose"
