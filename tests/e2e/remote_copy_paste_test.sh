#!/usr/bin/env bash
# Two users on one display share one account on a real tern-server: text selected in a text field is
# Remote-Copied from the first user's hotkey menu and Remote-Pasted by the second user into another
# text field. The second user first tries the first user's hotkey and gets the busy-hotkey balloon.
set -euo pipefail
bin=$1
field_app=$2
source "$(dirname "$0")/e2e_lib.sh"
e2e_init remote

make_users ann bob

# The service on a free loopback port.
start_server

for user in ann bob; do as_user $user "$bin/tern" config set ServiceHost "$service"; done
echo "secret-pass" | as_user ann "$bin/tern" register "team@example.org" >/dev/null || fail "register"
echo "secret-pass" | as_user bob "$bin/tern" login "team@example.org" >/dev/null || fail "login"

env $(user_env ann) "$bin/tern-clipboard" 2>"$base/ann.log" &
pids+=($!)
ann_pid=$!
wait_for 100 xdotool search --name "^TernClipboardStarted$" || fail "first program did not start"
sleep 1

# Bob's copy starts with the same hotkey: it is taken, so the busy balloon appears.
env $(user_env bob) "$bin/tern-clipboard" 2>"$base/bob.log" &
bob_pid=$!
wait_for 100 balloon_shown || fail "no busy-hotkey balloon"
shot "hotkey-busy"
kill -TERM $bob_pid; wait $bob_pid || fail "second program did not end cleanly"
as_user bob "$bin/tern" config set MainKey 24661 # Ctrl+Shift+U
env $(user_env bob) "$bin/tern-clipboard" 2>>"$base/bob.log" &
pids+=($!)
sleep 2

# Ann selects text in a field and chooses Remote Copy from her hotkey menu.
"$field_app" "hello from ann" "$base/field1.txt" &
pids+=($!)
wait_for 100 xdotool search --onlyvisible --name "^tern-test-field$" || fail "first text field did not appear"
sleep 1
xdotool key ctrl+shift+y
sleep 1
shot "hotkey-menu"
xdotool key Down Down Return
as_user ann "$bin/tern" paste >"$base/stored.txt" 2>/dev/null || true
for ((i = 0; i < 150; i++)); do
    [ "$(as_user ann "$bin/tern" paste 2>/dev/null)" = "hello from ann" ] && break
    sleep 0.1
done
[ "$(as_user ann "$bin/tern" paste 2>/dev/null)" = "hello from ann" ] || fail "the copy did not reach the service"
wait_for 50 balloon_shown || fail "no balloon after the copy"
shot "copied"

# Bob pastes into an empty field of his own.
"$field_app" "" "$base/field2.txt" &
pids+=($!)
wait_for 100 bash -c "[ \$(xdotool search --onlyvisible --name '^tern-test-field$' | wc -l) -ge 2 ]" ||
    fail "second text field did not appear"
sleep 1
xdotool key ctrl+shift+u
sleep 1
xdotool key Down Down Down Return
wait_for 150 grep -qx "hello from ann" "$base/field2.txt" || fail "the paste did not reach the second field"
wait_for 50 balloon_shown || fail "no balloon after the paste"
shot "pasted"

# Rich text: a copy from a rich-text editor offers HTML and plain text; both come back for bob.
xdotool search --onlyvisible --name "^tern-test-field$" | while read -r w; do xdotool windowclose "$w" 2>/dev/null || true; done
"$field_app" "<p>rich <b>bold words</b> here</p>" "$base/rich.txt" &
pids+=($!)
wait_for 100 xdotool search --onlyvisible --name "^tern-test-field$" || fail "the rich-text field did not appear"
sleep 1
xdotool key ctrl+shift+y
sleep 1
xdotool key Down Down Return
for ((i = 0; i < 150; i++)); do
    [ "$(as_user ann "$bin/tern" paste 2>/dev/null)" = "rich bold words here" ] && break
    sleep 0.1
done
[ "$(as_user ann "$bin/tern" paste 2>/dev/null)" = "rich bold words here" ] || fail "the rich copy did not reach the service"
xdotool key ctrl+shift+u
sleep 1
xdotool key Down Down Down Return
has_html() { timeout 5 xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -qx "text/html"; }
wait_for 150 has_html || fail "the pasted clipboard offers no HTML"
timeout 5 xclip -selection clipboard -o -t text/html | grep -q "<b>bold words</b>\|font-weight:700;\">bold words" ||
    fail "the HTML did not survive the trip"
[ "$(timeout 5 xclip -selection clipboard -o -t UTF8_STRING)" = "rich bold words here" ] ||
    fail "the plain text did not survive the trip"
# The clipboard is filled before Ctrl+V is sent: the step ends when the paste has reached the
# field (it writes its text on the first change), so that no key of it lands in the next window.
wait_for 150 test -s "$base/rich.txt" || fail "the rich paste did not reach the field"
shot "rich-pasted"

# Remote Copy chosen by its menu letter, the key held as a user holds it: the copy waits until the
# letter is up, so the window gets a whole Ctrl+C.
xdotool search --onlyvisible --name "^tern-test-field$" | while read -r w; do xdotool windowclose "$w" 2>/dev/null || true; done
"$field_app" "chosen by its letter" "$base/letter.txt" &
pids+=($!)
wait_for 100 xdotool search --onlyvisible --name "^tern-test-field$" || fail "the letter field did not appear"
field_active() { [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "tern-test-field" ]; }
wait_for 50 field_active || fail "the letter field is not in front"
press_hotkey_until ctrl+shift+y menu_shown "$ann_pid" || fail "no hotkey menu for the letter copy"
xdotool keydown c sleep 0.15 keyup c
letter_copied() { [ "$(as_user ann "$bin/tern" paste 2>/dev/null)" = "chosen by its letter" ]; }
wait_for 100 letter_copied || fail "Remote Copy chosen by its letter copied nothing"
wait_for 50 balloon_shown || fail "no balloon after the letter copy"
shot "letter-copied"

# Ending the first copy through its quit message saves its settings.
kill -0 $ann_pid || fail "first program ended early"
echo "remote copy and paste: ok"
