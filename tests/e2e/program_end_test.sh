#!/usr/bin/env bash
# The program always ends promptly: during the first-start language selection the quit message is
# answered and ends the program; later, a termination signal ends it within 2 seconds while its
# update check hangs on a service that takes the request and never answers.
set -euo pipefail
bin=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init program-end
window_named() { xdotool search --onlyvisible --name "^$1\$" | head -n 1; }
# Waits for the program (a child of this shell) to end and sets `ended_ms` to the milliseconds since
# $1 (nanoseconds from `date +%s%N`). A program that does not end is killed after 10 seconds, which
# fails every bound. Runs in this shell, not in a command substitution: only this shell can wait.
ended_after() {
    local since=$1 watchdog
    (sleep 10 && kill -KILL "$program_pid") >/dev/null 2>&1 &
    watchdog=$!
    wait "$program_pid" || true
    ended_ms=$((($(date +%s%N) - since) / 1000000))
    kill "$watchdog" 2>/dev/null || true
}

use_home() {
    export HOME=$base/$1 XDG_CONFIG_HOME=$base/$1/config XDG_DATA_HOME=$base/$1/data XDG_RUNTIME_DIR=$base/$1/runtime
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# 1. First start: the language selection is open.
use_home eve
start_server
"$bin/tern" config set ServiceHost "$service"
"$bin/tern-clipboard" 2>"$base/eve.log" &
program_pid=$!
pids+=($program_pid)
wait_for 150 window_named "Tern Clipboard - Select Language" || fail "no language selection at first start"
shot first-start-dialog

# The quit message is answered while the dialog is open, and the program ends.
asked=$(date +%s%N)
"$bin/tern" quit-running >/dev/null || fail "the quit message was not answered during the first-start dialog"
ended_after "$asked"
[ "$ended_ms" -le 2000 ] || fail "the program took $ended_ms ms to end after the quit message"

# 2. A signed-in start whose update check hangs: a listener that takes connections and never answers.
use_home ann
python3 -c '
import socket, sys
listener = socket.socket()
listener.bind(("127.0.0.1", 0))
listener.listen(8)
print(listener.getsockname()[1], flush=True)
held = []
while True:
    connection, _ = listener.accept()
    held.append(connection)
    print("accepted", flush=True)
' >"$base/hang.out" &
pids+=($!)
wait_for 50 grep -q '^[0-9]' "$base/hang.out" || fail "the hanging listener did not start"
"$bin/tern" config set ServiceHost "http://127.0.0.1:$(head -n 1 "$base/hang.out")"
"$bin/tern" config set Login ann@example.org
"$bin/tern" config set Password "$(printf 'secret-pass' | "$bin/tern" digest)"
"$bin/tern-clipboard" 2>"$base/ann.log" &
program_pid=$!
pids+=($program_pid)
# The automatic check starts with the program (the last check date is unset).
wait_for 150 grep -q accepted "$base/hang.out" || fail "the update check did not reach the service"
signalled=$(date +%s%N)
kill -TERM "$program_pid"
ended_after "$signalled"
[ "$ended_ms" -le 2000 ] || fail "the program took $ended_ms ms to end on SIGTERM while its update check hung"
echo "program end: ok (last end after $ended_ms ms)"
