#!/usr/bin/env bash
# Runs a command inside a headless desktop: Xvfb, the openbox window manager (active window and frame
# extents) and the trayer system tray (scripts/start-tray.sh) on the top edge, on another edge with
# --tray, or none at all with --tray none. Every waiting step is bounded; everything started here is
# stopped by PID when the command ends. The command's exit status is returned.
#
#   scripts/headless-desktop.sh [--size WxH] [--tray top|bottom|left|right|none] -- COMMAND [ARGS...]
set -euo pipefail

# shellcheck source=scripts/headless-session.sh
. "$(dirname "$0")/headless-session.sh"

size=1920x1080
tray=top
read_session_options "size tray" "$0 [--size WxH] [--tray EDGE|none] -- COMMAND [ARGS...]" "$@"

log_dir=$(mktemp -d "${TMPDIR:-/tmp}/tern-desktop.XXXXXX")
session_folders+=("$log_dir")

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

run_session_command
