#!/usr/bin/env bash
# The running program and the command-line tool share one settings file: a `tern config set` made
# while the program runs takes effect at the next menu command (the service address included) and
# survives the program's end, which writes only what the program changed. Opening an address reports
# the browser's verdict: a failing xdg-open gives the 'Unable to open target' message box, and one
# that keeps running (a browser in the foreground) counts as opened without holding up the interface.
set -euo pipefail
bin=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init settings-and-links
make_users ann
export $(user_env ann)
ini="$XDG_CONFIG_HOME/Quarrow Labs/Tern Clipboard.ini"

# The browser stand-in, found first on PATH: records the address and ends with the status in
# $base/open.status, or keeps running for "hang".
mkdir -p "$base/handler"
cat >"$base/handler/xdg-open" <<HANDLER
#!/bin/sh
printf '%s\n' "\$1" >>"$base/opened"
status=\$(cat "$base/open.status")
[ "\$status" = hang ] && exec sleep 30
exit "\$status"
HANDLER
chmod +x "$base/handler/xdg-open"
opened_count() { [ -f "$base/opened" ] && wc -l <"$base/opened" || echo 0; }

# The program's menus only: a balloon or a message box of the program is not a menu.
program_menu_shown() { menu_shown "$program_pid"; }
program_menu_gone() { ! menu_shown "$program_pid"; }
error_box() { xdotool search --all --onlyvisible --pid "$program_pid" --name '^Error$' 2>/dev/null | head -n 1; }
error_box_shown() { [ -n "$(error_box)" ]; }
# Chooses the entry `$1` places down the hotkey menu (title 1, Remote Copy 2, ... My Shares 8,
# Check for Updates 11).
choose() {
    press_hotkey_until ctrl+shift+y program_menu_shown || fail "no hotkey menu"
    local i
    for ((i = 0; i < $1; i++)); do xdotool key Down; done
    xdotool key Return
}
history_entry=8
check_entry=11

server_name=first start_server
first=$service
server_name=second start_server
second=$service
"$bin/tern" config set ServiceHost "$first"
"$bin/tern" config set CheckUpdates 0
echo "secret-pass" | "$bin/tern" register "ann@example.org" >/dev/null || fail "register"

PATH="$base/handler:$PATH" "$bin/tern-clipboard" 2>"$base/program.log" &
program_pid=$!
pids+=($program_pid)
wait_for 150 xdotool search --name "^TernClipboardStarted\$" || fail "the program did not start"

# (a) Changed from outside while the program runs: the next update check goes to the new address.
"$bin/tern" config set ServiceHost "$second"
"$bin/tern" config set CurLine 2
choose $check_entry
wait_for 100 grep -q "/start/check.html" "$base/second.log" || fail "the update check did not go to the new address"
! grep -q "/start/check.html" "$base/first.log" || fail "the update check went to the old address"
wait_for 50 balloon_shown || fail "no balloon after the update check"
shot outside-change

# (b) xdg-open fails: the message box names the address, under the new service address.
echo 3 >"$base/open.status"
choose $history_entry
wait_for 100 error_box_shown || fail "no message box when xdg-open failed"
grep -q "^$second/cp/history.html" "$base/opened" || fail "the history page was not opened at the new address"
# The window manager takes the box on a moment after it appears.
wait_for 50 xdotool windowactivate --sync "$(error_box)" || fail "the message box cannot be activated"
shot open-failed
xdotool key Return
wait_for 50 bash -c "! xdotool search --all --onlyvisible --pid $program_pid --name '^Error\$'" || fail "the message box stays"

# (c) xdg-open succeeds: no message box.
echo 0 >"$base/open.status"
choose $history_entry
wait_for 50 test "$(opened_count)" -ge 2 || fail "xdg-open was not started again"
sleep 1 # the verdict comes at once; a message box would be there by now
error_box_shown && fail "a message box although xdg-open succeeded"

# (d) xdg-open keeps running: the menus work meanwhile, and it counts as opened.
echo hang >"$base/open.status"
choose $history_entry
wait_for 50 test "$(opened_count)" -ge 3 || fail "xdg-open was not started a third time"
xdotool key ctrl+shift+y
wait_for 20 program_menu_shown || fail "the hotkey menu did not open while the program waited for xdg-open"
xdotool key Escape
wait_for 50 program_menu_gone || fail "the hotkey menu stays"
sleep 4 # past the bounded wait for xdg-open's verdict
error_box_shown && fail "a message box although xdg-open kept running"

# (e) The end writes the program's own change (the last update check's date, set at start) and keeps
# the values changed from outside.
"$bin/tern" quit-running >/dev/null || fail "tern quit-running failed"
status=0
wait "$program_pid" || status=$?
[ $status -eq 0 ] || fail "the program ended with $status"
grep -qx "ServiceHost=$second" "$ini" || fail "the service address set from outside was written over"
grep -qx "CurLine=2" "$ini" || fail "a value set from outside was written over"
grep -q "^CheckDate=[1-9]" "$ini" || fail "the program's own change was not saved"
echo "settings and links: ok"
