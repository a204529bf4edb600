# shellcheck shell=bash
# What the shell tests share for the processes they start; sourced after `set -euo pipefail`.
#   wait_for TENTHS CMD...  -- waits up to TENTHS tenths of a second for CMD to succeed
#   stop_started            -- stops every PID in `pids` and waits for each to end

wait_for() {
    local tenths=$1 i
    shift
    for ((i = 0; i < tenths; i++)); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

stop_started() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
