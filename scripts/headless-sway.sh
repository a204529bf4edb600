#!/usr/bin/env bash
# Runs a command inside a headless Wayland session: the sway compositor on its headless backend with
# the pixman renderer and no input devices, swaybar as the tray host (StatusNotifierItem), a session
# bus, and mako as the notification daemon. sway refuses to run as root, so the session runs as an
# unprivileged user with a runtime folder of its own; the command runs as the caller and reaches the
# compositor by the socket's full path in WAYLAND_DISPLAY (SWAYSOCK for swaymsg, DBUS_SESSION_BUS_ADDRESS
# for the bus). Every waiting step is bounded; everything started here is stopped by PID when the
# command ends. The command's exit status is returned.
#
#   scripts/headless-sway.sh [--outputs N] [--size WxH] [--user NAME] -- COMMAND [ARGS...]
#
# With --outputs 2 the second output lies right of the first. Inside the command
# TERN_WAYLAND_SESSION=1 tells the tests that this session is there for them.
set -euo pipefail

# shellcheck source=scripts/headless-session.sh
. "$(dirname "$0")/headless-session.sh"

outputs=1
size=1280x720
user=nobody
read_session_options "outputs size user" "$0 [--outputs N] [--size WxH] [--user NAME] -- COMMAND [ARGS...]" "$@"

runtime=$(mktemp -d "${TMPDIR:-/tmp}/tern-sway.XXXXXX")
session_folders+=("$runtime")

# The session's processes run as $user unless the caller is already unprivileged.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups)
    chown "$user" "$runtime"
fi
chmod 700 "$runtime"

width=${size%x*}
height=${size#*x}
{
    echo "xwayland disable"
    for ((n = 1; n <= outputs; n++)); do
        echo "output HEADLESS-$n resolution ${width}x${height} position $(((n - 1) * width)) 0 scale 1"
    done
    echo "bar {"
    echo "    position top"
    echo "    tray_output *"
    echo "}"
} >"$runtime/sway.config"

# The session bus accepts the session's user and the caller alike.
cat >"$runtime/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$runtime/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
EOF
chmod 644 "$runtime/sway.config" "$runtime/bus.conf"

session_env=(env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime"
    DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus")
"${as_user[@]}" "${session_env[@]}" dbus-daemon --config-file="$runtime/bus.conf" --nofork --nopidfile \
    >"$runtime/dbus.log" 2>&1 &
pids+=($!)
wait_for 100 test -S "$runtime/bus" || { echo "the session bus did not start:" >&2; cat "$runtime/dbus.log" >&2; exit 1; }
chmod 777 "$runtime/bus" 2>/dev/null || true

# No direct scan-out: a full-screen window shown that way on a headless output never reaches the
# output's composed picture, which is what screen copies (grim's, the program's) read.
"${as_user[@]}" "${session_env[@]}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    WLR_HEADLESS_OUTPUTS="$outputs" sway -D noscanout -c "$runtime/sway.config" >"$runtime/sway.log" 2>&1 &
pids+=($!)
sway_pid=${pids[-1]}
socket_of() { find "$runtime" -maxdepth 1 -type s -name 'wayland-*' | head -n 1 | grep .; }
ipc_of() { find "$runtime" -maxdepth 1 -type s -name 'sway-ipc.*.sock' | head -n 1 | grep .; }
if ! wait_for 150 ipc_of || ! wait_for 50 socket_of; then
    echo "sway did not start:" >&2; cat "$runtime/sway.log" >&2; exit 1
fi
export WAYLAND_DISPLAY
WAYLAND_DISPLAY=$(socket_of)
export SWAYSOCK
SWAYSOCK=$(ipc_of)
# The caller's runtime folder is its own: programs check that they own theirs.
caller_runtime=$(mktemp -d "${TMPDIR:-/tmp}/tern-sway-caller.XXXXXX")
session_folders+=("$caller_runtime")
chmod 700 "$caller_runtime"
export XDG_RUNTIME_DIR=$caller_runtime
export DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus"
export TERN_WAYLAND_SESSION=1
# Root may enter the session's sockets; the session's user may not enter the caller's.
chmod 777 "$WAYLAND_DISPLAY" "$SWAYSOCK" 2>/dev/null || true
# Every output is there once sway answers with them all.
outputs_ready() { [ "$(swaymsg -t get_outputs -r | grep -c '"name"')" -ge "$outputs" ]; }
wait_for 100 outputs_ready || { echo "sway did not report $outputs outputs" >&2; exit 1; }

"${as_user[@]}" "${session_env[@]}" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" mako >"$runtime/mako.log" 2>&1 &
pids+=($!)
has_notifier() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.freedesktop.Notifications | grep -q 'boolean true'
}
wait_for 100 has_notifier || echo "warning: the notification daemon did not appear" >&2
has_tray_host() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        string:org.kde.StatusNotifierWatcher | grep -q 'boolean true'
}
wait_for 100 has_tray_host || echo "warning: swaybar's tray host did not appear" >&2
kill -0 "$sway_pid" || { echo "sway stopped:" >&2; cat "$runtime/sway.log" >&2; exit 1; }

run_session_command
