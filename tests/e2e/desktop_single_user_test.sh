#!/usr/bin/env bash
# One user on the headless desktop with a stored login: start without a dialog, the tray icon and both
# menus; a second copy's message box; the left-over capture question; a service that is down and one
# that answers HTML each give one error balloon and leave the clipboard alone; `tern quit-running`
# ends the program with exit code 0 and its settings saved.
set -euo pipefail
bin=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init single-user
export HOME=$base/ann XDG_CONFIG_HOME=$base/ann/config XDG_DATA_HOME=$base/ann/data XDG_RUNTIME_DIR=$base/ann/runtime
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
ini="$XDG_CONFIG_HOME/Quarrow Labs/Tern Clipboard.ini"
snapshot="$XDG_DATA_HOME/Tern Clipboard/last_snap.bmp"

program_windows() { big_windows --pid "$program_pid"; }
no_balloon() { [ "$(balloon_count)" -eq 0 ]; }
clipboard() { timeout 5 xclip -selection clipboard -o 2>/dev/null || true; }
hotkey_menu() { xdotool key ctrl+shift+y; }
test_menu_shown() { [ -n "$(program_windows)" ]; }
test_menu_gone() { [ -z "$(program_windows)" ]; }
start_program() {
    "$bin/tern-clipboard" 2>>"$base/program.log" &
    program_pid=$!
    pids+=($program_pid)
    wait_for 100 xdotool search --name "^TernClipboardStarted\$" || fail "the program did not start"
}
quit_program() {
    local answer
    answer=$("$bin/tern" quit-running) || fail "tern quit-running failed"
    grep -q "accepted" <<<"$answer" || fail "quit-running answered '$answer'"
    local status=0
    wait "$program_pid" || status=$?
    [ $status -eq 0 ] || fail "the program ended with $status"
}

# The service on a free loopback port, and an account stored for the user.
start_server
"$bin/tern" config set ServiceHost "$service"
echo "secret-pass" | "$bin/tern" register "solo@example.org" >/dev/null || fail "register"

# (a) A stored login: no dialog, the tray icon is embedded, both menus open.
start_program
sleep 1 # nothing to poll for: a dialog would have to appear within this time
[ -z "$(program_windows)" ] || fail "a window is shown at start"
# The tray icon: the program's small window, embedded in the trayer's window tree.
tray=$(xdotool search --onlyvisible --class "^trayer\$" 2>/dev/null | head -1) || true
[ -n "$tray" ] || fail "no tray window"
icon=
for w in $(xdotool search --onlyvisible --pid $program_pid 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$w")"
    [ "$WIDTH" -le 32 ] && icon=$w
done
[ -n "$icon" ] || fail "the program shows no tray icon"
xwininfo -tree -id "$tray" | grep -qi "$(printf '0x%x' "$icon")" || fail "the icon is not embedded in the tray"
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 1
wait_for 50 test_menu_shown || fail "no tray menu"
shot tray-menu
xdotool key Escape
wait_for 50 test_menu_gone || fail "tray menu stays"
hotkey_menu
wait_for 50 test_menu_shown || fail "no hotkey menu"
shot hotkey-menu
xdotool key Escape
wait_for 50 test_menu_gone || fail "hotkey menu stays"

# (b) A second copy shows its message box and ends with 0; the first runs on.
"$bin/tern-clipboard" 2>>"$base/second.log" &
second_pid=$!
pids+=($second_pid)
wait_for 100 bash -c "[ -n \"\$(xdotool search --onlyvisible --pid $second_pid)\" ]" || fail "no message box"
box=$(xdotool search --onlyvisible --pid $second_pid | head -1)
[ "$(xdotool getwindowname "$box")" = "Tern Clipboard" ] || fail "message box title"
shot started-already
xdotool windowactivate --sync "$box" key Return || xdotool key Return
status=0; wait $second_pid || status=$?
[ $status -eq 0 ] || fail "the second copy ended with $status"
kill -0 $program_pid || fail "the first copy ended"

# The clipboard that must survive the failures below.
printf 'keep me' | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
pids+=($!)
wait_for 50 bash -c "[ \"\$(timeout 5 xclip -selection clipboard -o)\" = 'keep me' ]" || fail "xclip"

# (d) A left-over capture: Remote Paste asks first and pastes nothing.
printf 'BM' >"$snapshot"
hotkey_menu
wait_for 50 test_menu_shown || fail "no hotkey menu"
xdotool key Down Down Down Return
wait_for 50 balloon_shown || fail "no left-over capture question"
shot leftover-question
[ "$(balloon_count)" -eq 1 ] || fail "more than one balloon"
[ -f "$snapshot" ] || fail "the left-over capture went away unasked"
[ "$(clipboard)" = "keep me" ] || fail "the clipboard changed under the question"
rm -f "$snapshot"

# (f) The service is down: Remote Paste gives one error balloon; the clipboard stays.
kill "$server_pid"; wait "$server_pid" 2>/dev/null || true
hotkey_menu
wait_for 50 test_menu_shown || fail "no hotkey menu"
xdotool key Down Down Down Return
wait_for 100 balloon_shown || fail "no balloon with the service down"
shot service-down
[ "$(balloon_count)" -eq 1 ] || fail "more than one balloon"
[ "$(clipboard)" = "keep me" ] || fail "the clipboard changed with the service down"

# (c) Quitting from outside saves the settings: a value changed behind the program's back is kept,
# and the program's own change (the date of the last update check, set at start) is written.
grep -q "^CurLine=" "$ini" || fail "the settings file has no CurLine"
sed -i 's/^CurLine=.*/CurLine=7/; s/^CheckDate=.*/CheckDate=0/' "$ini"
quit_program
grep -q "^CurLine=7" "$ini" || fail "a value changed from outside was written over at the end"
grep -q "^CheckDate=[1-9]" "$ini" || fail "the settings were not saved at the end"

# (f) A service that answers HTML: one error balloon, the clipboard stays.
python3 - "$base/html.port" >/dev/null 2>&1 <<'PY' &
import http.server, sys
class Page(http.server.BaseHTTPRequestHandler):
    def answer(self):
        length = int(self.headers.get("Content-Length") or 0)
        if length:
            self.rfile.read(length)
        body = b"<!DOCTYPE html><html><body>Welcome to the hotel network</body></html>"
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    do_GET = answer
    do_POST = answer
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(("127.0.0.1", 0), Page)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(str(server.server_port))
import os
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
server.serve_forever()
PY
pids+=($!)
wait_for 100 test -s "$base/html.port" || fail "the HTML server did not start"
"$bin/tern" config set ServiceHost "http://127.0.0.1:$(cat "$base/html.port")"
start_program
wait_for 50 no_balloon || fail "a balloon at start"
press_hotkey_until ctrl+shift+y test_menu_shown || fail "no hotkey menu"
xdotool key Down Down Down Return
wait_for 100 balloon_shown || fail "no balloon with an HTML reply"
shot html-reply
[ "$(balloon_count)" -eq 1 ] || fail "more than one balloon"
[ "$(clipboard)" = "keep me" ] || fail "the clipboard changed with an HTML reply"
quit_program
echo "single user desktop: ok"
