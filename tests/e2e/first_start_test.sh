#!/usr/bin/env bash
# The first start of the real program for a new user: the language selection comes first (German is
# chosen), then the account dialog, in which a new account is registered on a real tern-server. The
# account and the language are stored, and the tray menus are in the chosen language.
set -euo pipefail
bin=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init first-start
window_named() { xdotool search --onlyvisible --name "^$1\$" | head -n 1; }

export HOME=$base/eve XDG_CONFIG_HOME=$base/eve/config XDG_DATA_HOME=$base/eve/data XDG_RUNTIME_DIR=$base/eve/runtime
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
ini="$XDG_CONFIG_HOME/Quarrow Labs/Tern Clipboard.ini"

start_server
"$bin/tern" config set ServiceHost "$service"

"$bin/tern-clipboard" 2>"$base/program.log" &
program_pid=$!
pids+=($program_pid)

# 1. The language selection: a tray click brings it to the front; the list holds "Deutsch" first; a
#    click on it selects it.
wait_for 150 window_named "Tern Clipboard - Select Language" || fail "no language selection at first start"
select=$(window_named "Tern Clipboard - Select Language")
sleep 0.5
shot select-language
# The list starts 40 pixels below the top of the dialog's client area; its first row is "Deutsch".
wait_for 100 bash -c "[ \"\$(xdotool getactivewindow)\" = $select ]" || fail "the language selection is not active"
# While the dialog is open a click on the tray icon brings it to the front, also from behind another
# program's window.
xmessage -name other-program "another program" &
other_pid=$!
pids+=($other_pid)
wait_for 100 xdotool search --onlyvisible --classname "^other-program\$" || fail "the other window did not appear"
other=$(xdotool search --onlyvisible --classname "^other-program\$" | head -n 1)
xdotool windowactivate "$other" 2>/dev/null || true
wait_for 100 bash -c "[ \"\$(xdotool getactivewindow)\" = $other ]" || fail "the other window is not active"
icon=
for w in $(xdotool search --onlyvisible --pid $program_pid 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "$WIDTH" -le 32 ] && icon=$w
done
[ -n "$icon" ] || fail "the program shows no tray icon"
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
wait_for 50 bash -c "[ \"\$(xdotool getactivewindow)\" = $select ]" ||
    fail "a tray click did not bring the language selection to the front"
kill $other_pid
xdotool mousemove --window "$select" 40 47 click 1
sleep 0.5
shot select-language-german
xdotool key Return

# 2. The account dialog, in German now: a new e-mail address leads to the registration step.
wait_for 150 window_named "Tern Clipboard - Konto" || fail "no account dialog after the language selection"
account=$(window_named "Tern Clipboard - Konto")
sleep 0.5
shot account-email
# Typing goes to the active window: wait until the dialog is it.
xdotool windowactivate "$account" 2>/dev/null || true
wait_for 100 bash -c "[ \"\$(xdotool getactivewindow)\" = $account ]" || fail "the account dialog is not active"
xdotool type --delay 20 "eve@example.org"
xdotool key Return
sleep 1.5
shot account-register
xdotool type --delay 20 "secret-pass"
xdotool key Tab
xdotool type --delay 20 "secret-pass"
xdotool key Return
wait_for 150 bash -c "! xdotool search --onlyvisible --name '^Tern Clipboard - Konto\$' >/dev/null" ||
    fail "the account dialog did not close after registering"
shot registered

grep -qx "Login=eve@example.org" "$ini" || fail "the account was not stored"
grep -qx "CurrentLanguage=german.lng" "$ini" || fail "the language was not stored"
[ "$(grep '^Password=' "$ini" | cut -d= -f2)" = "$(printf 'secret-pass' | "$bin/tern" digest)" ] ||
    fail "the stored password value is not the digest of the password"

# 3. The hotkey works now, and the menu speaks German.
sleep 0.5
xdotool key ctrl+shift+y
sleep 1
shot hotkey-menu-german
xdotool key Escape
kill -TERM $program_pid
wait $program_pid || fail "the program did not end cleanly"
echo "first start: ok"
