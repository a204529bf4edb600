#!/usr/bin/env bash
# The programs' command lines: every program prints the one project version; the desktop program's
# --help and --version print and end without disturbing the copy that runs, and without a display it
# says so in one line and ends with a failure status instead of aborting; `tern --help` keeps each
# command's continuation lines in its description column; `tern quit-running` says in words whether
# the running program accepted or none was found; `tern-clipboard --menu` opens the running copy's
# hotkey menu and says so when none runs.
set -euo pipefail
bin=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init command-line
make_users ann
# A program that does not end on its own is stopped after 10 seconds and fails the check.
run() { as_user ann timeout 10 "$@"; }

# (a) One version, four parts, in every program.
version=$(run "$bin/tern-clipboard" --version) || fail "tern-clipboard --version failed"
[[ $version =~ ^Tern\ Clipboard\ ([0-9]+\.[0-9]+\.[0-9]+\.[0-9]+)$ ]] || fail "tern-clipboard --version said '$version'"
number=${BASH_REMATCH[1]}
[ "$(run "$bin/tern" --version)" = "tern $number" ] || fail "tern --version differs from $number"
[ "$("$bin/tern-server" --version)" = "tern-server $number" ] || fail "tern-server --version differs from $number"

# (b) tern --help: a line that continues a command's description starts in the description column.
help=$(run "$bin/tern" --help) || fail "tern --help failed"
column=$(printf '%s\n' "$help" | sed -n 's/^\(  config list  *\).*/\1/p' | head -n 1 | wc -L)
[ "$column" -gt 10 ] || fail "tern --help has no config line"
continued=$(printf '%s\n' "$help" | grep -E '^ {3,}' || true)
[ -n "$continued" ] || fail "tern --help has no continuation lines"
misaligned=$(printf '%s\n' "$continued" | grep -vE "^ {$column}[^ ]" || true)
[ -z "$misaligned" ] || fail "continuation lines outside column $column:
$misaligned"

# (c) A running copy is not disturbed by --help and --version, and quit-running says what happened.
as_user ann "$bin/tern" config set ServiceHost http://127.0.0.1:9
as_user ann "$bin/tern" config set CheckUpdates 0
as_user ann "$bin/tern" config set Login ann@example.org
as_user ann "$bin/tern" config set Password "$(printf 'secret-pass' | "$bin/tern" digest)"
# Started through env itself, so that $! is the program (the menu's windows are found by it).
env $(user_env ann) "$bin/tern-clipboard" 2>"$base/program.log" &
program_pid=$!
pids+=($program_pid)
wait_for 150 xdotool search --name "^TernClipboardStarted\$" || fail "the program did not start"
run "$bin/tern-clipboard" --help | grep -q -- "--version" || fail "tern-clipboard --help beside a running copy"
run "$bin/tern-clipboard" --help | grep -q -- "--share-area" || fail "tern-clipboard --help does not list the commands"
[ "$(run "$bin/tern-clipboard" --version)" = "$version" ] || fail "tern-clipboard --version beside a running copy"
[ -z "$(big_windows --name '^Tern Clipboard$')" ] || fail "a window appeared"
kill -0 "$program_pid" || fail "the running copy ended"

# (c2) --menu opens the running copy's hotkey menu (the copy answers once it has started); two
# different commands at once are refused without asking anybody.
wait_for 100 run "$bin/tern-clipboard" --menu || fail "--menu was not taken by the running copy"
wait_for 50 menu_shown "$program_pid" || fail "--menu opened no menu"
shot menu-on-request
xdotool key Escape
wait_for 50 eval '! menu_shown "$program_pid"' || fail "the menu did not close on Esc"
status=0
said=$(run "$bin/tern-clipboard" --menu --share-screen 2>&1) || status=$?
[ $status -eq 2 ] && grep -q -- "--share-screen" <<<"$said" || fail "two commands: status $status, '$said'"

status=0
said=$(run "$bin/tern" quit-running 2>&1) || status=$?
[ $status -eq 0 ] || fail "quit-running exited $status: $said"
grep -qi "accepted" <<<"$said" || fail "quit-running said '$said'"
status=0
wait "$program_pid" || status=$?
[ $status -eq 0 ] || fail "the program ended with $status"
status=0
said=$(run "$bin/tern" quit-running 2>&1) || status=$?
[ $status -eq 1 ] || fail "quit-running with none running exited $status"
grep -qi "no running" <<<"$said" || fail "quit-running with none running said '$said'"
status=0
said=$(run "$bin/tern-clipboard" --share-area 2>&1) || status=$?
[ $status -eq 1 ] && grep -qi "no running" <<<"$said" || fail "--share-area with none running: $status, '$said'"

# (d) No display, or one that cannot be reached: one line and a failure status, never an abort.
for display in "" ":1999"; do
    status=0
    said=$(env DISPLAY="$display" $(user_env ann) timeout 10 "$bin/tern-clipboard" 2>&1) || status=$?
    [ $status -ne 0 ] && [ $status -lt 124 ] || fail "without display '$display' the program exited $status: $said"
    [ "$(printf '%s\n' "$said" | wc -l)" -eq 1 ] || fail "without display '$display' it said:
$said"
    grep -qi "display" <<<"$said" || fail "without display '$display' it said '$said'"
done
echo "command line: ok"
