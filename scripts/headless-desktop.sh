#!/usr/bin/env bash
# Runs a command inside a headless desktop: Xvfb, the openbox window manager (active window and frame
# extents) and the trayer system tray (scripts/start-tray.sh) on the top edge, on another edge with
# --tray, or none at all with --tray none. Every waiting step is bounded; everything started here is
# stopped by PID when the command ends. The command's exit status is returned.
#
#   scripts/headless-desktop.sh [--size WxH] [--tray top|bottom|left|right|none] -- COMMAND [ARGS...]
set -euo pipefail

size=1920x1080
tray=top
while [ $# -gt 0 ]; do
    case "$1" in
        --size) size=$2; shift 2 ;;
        --tray) tray=$2; shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--size WxH] [--tray EDGE|none] -- COMMAND [ARGS...]" >&2; exit 2; }

pids=()
log_dir=$(mktemp -d "${TMPDIR:-/tmp}/tern-desktop.XXXXXX")
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[$i]}" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$log_dir"
}
trap cleanup EXIT

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1; shift
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# A display number nobody uses: no lock file and no socket.
display=""
for n in $(seq 90 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        break
    fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }

Xvfb "$display" -screen 0 "${size}x24" -nolisten tcp -noreset >"$log_dir/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display
if ! wait_for 100 xdpyinfo; then
    echo "Xvfb did not start on $display:" >&2; cat "$log_dir/xvfb.log" >&2; exit 1
fi

openbox --sm-disable >"$log_dir/openbox.log" 2>&1 &
pids+=($!)
wait_for 100 xprop -root _NET_SUPPORTING_WM_CHECK || { echo "openbox did not start" >&2; exit 1; }

if [ "$tray" != none ]; then
    "$(dirname "$0")/start-tray.sh" "$tray" >"$log_dir/trayer.log" 2>&1 &
    pids+=($!)
    wait_for 100 xdotool search --class trayer || echo "warning: the system tray did not appear" >&2
fi

set +e
"$@"
status=$?
set -e
exit $status
