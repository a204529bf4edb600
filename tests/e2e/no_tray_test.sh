#!/usr/bin/env bash
# The program started on a desktop without a system tray (run with headless-desktop.sh --tray none):
# it says so once in a message box, its hotkey menu works, and a tray started later shows its icon,
# whose click opens the tray menu; no second message follows.
set -euo pipefail
bin=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init no-tray
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)

xdotool search --class trayer >/dev/null 2>&1 && fail "a system tray runs already: start the desktop with --tray none"
make_users ann
start_server
as_user ann "$bin/tern" config set ServiceHost "$service"
echo "secret-pass" | as_user ann "$bin/tern" register "ann@example.org" >/dev/null || fail "register"

env $(user_env ann) "$bin/tern-clipboard" 2>"$base/ann.log" &
ann=$!
pids+=($ann)

message_shown() { [ -n "$(windows_of_type $ann DIALOG)" ]; }
active_is() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]; }
press_hotkey_for_menu() { xdotool key ctrl+shift+y; wait_for 5 menu_shown $ann; }

# 1. One message box tells the user that no tray runs.
wait_for 150 message_shown || fail "no message at a start without a tray"
message=$(windows_of_type $ann DIALOG | head -n 1)
[ "$(xdotool getwindowname "$message")" = "Tern Clipboard" ] || fail "the message is not the program's"
sleep 0.5
shot message
xdotool windowactivate "$message" 2>/dev/null || true
wait_for 100 active_is "$message" || fail "the message is not active"
xdotool key Return
wait_for 100 eval '! message_shown' || fail "the message did not close"

# 2. The hotkey menu opens without a tray (the hotkey is registered once the message is answered).
wait_for 20 press_hotkey_for_menu || fail "the hotkey menu did not open without a tray"
shot hotkey-menu
xdotool key Escape
wait_for 50 eval '! menu_shown $ann' || fail "the hotkey menu did not close"

# 3. A tray that starts now shows the icon; a click on it opens the tray menu.
"$scripts/start-tray.sh" top >"$base/trayer.log" 2>&1 &
pids+=($!)
wait_for 150 tray_icon_of $ann || fail "the icon did not appear in a tray started later"
icon=$(tray_icon_of $ann)
eval "$(xdotool getwindowgeometry --shell "$icon")"
[ "$Y" -lt 32 ] || fail "the icon is not in the tray at the top edge (y = $Y)"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
wait_for 50 menu_shown $ann || fail "a click on the icon did not open the tray menu"
shot tray-menu
xdotool key Escape

# The message was said once.
message_shown && fail "a second message appeared"
kill -TERM $ann
wait $ann || fail "the program did not end cleanly"
echo "no tray: ok"
