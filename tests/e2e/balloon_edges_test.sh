#!/usr/bin/env bash
# The balloon at a tray on each edge of the screen (run with headless-desktop.sh --tray none; the test
# starts the trays itself). Ann holds the hotkey; Bob starts with the same hotkey while a tray runs on
# one edge, and his busy-hotkey balloon, asked for before his icon is in the tray, must wait for it:
# it lies wholly on the screen and touches his icon.
set -euo pipefail
bin=$1
source "$(dirname "$0")/e2e_lib.sh"
e2e_init balloon-edges
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
eval "$(xdotool getdisplaygeometry --shell)"
screen_width=$WIDTH
screen_height=$HEIGHT

xdotool search --class trayer >/dev/null 2>&1 && fail "a system tray runs already: start the desktop with --tray none"
make_users ann bob
start_server
for user in ann bob; do as_user $user "$bin/tern" config set ServiceHost "$service"; done
echo "secret-pass" | as_user ann "$bin/tern" register "edges@example.org" >/dev/null || fail "register"
echo "secret-pass" | as_user bob "$bin/tern" login "edges@example.org" >/dev/null || fail "login"

tray_pid=
start_tray() {
    "$scripts/start-tray.sh" "$1" >>"$base/trayer.log" 2>&1 &
    tray_pid=$!
    pids+=($tray_pid)
    wait_for 100 xdotool search --onlyvisible --class trayer || fail "the tray on the $1 edge did not start"
}
stop_tray() {
    kill "$tray_pid"
    wait "$tray_pid" 2>/dev/null || true
    wait_for 50 eval '! xdotool search --onlyvisible --class trayer' || fail "the tray did not stop"
}

start_tray top
env $(user_env ann) "$bin/tern-clipboard" 2>"$base/ann.log" &
ann=$!
pids+=($ann)
wait_for 150 tray_icon_of $ann || fail "ann's icon did not appear"
stop_tray

for edge in left top right bottom; do
    start_tray $edge
    env $(user_env bob) "$bin/tern-clipboard" 2>>"$base/bob.log" &
    bob=$!
    pids+=($bob)
    wait_for 150 balloon_of $bob || fail "no busy-hotkey balloon at the $edge edge"
    icon=$(tray_icon_of $bob) || fail "bob's icon is not in the tray at the $edge edge"
    eval "$(xdotool getwindowgeometry --shell --prefix ICON_ "$icon")"
    eval "$(xdotool getwindowgeometry --shell --prefix BALLOON_ "$(balloon_of $bob)")"
    where="balloon ${BALLOON_WIDTH}x${BALLOON_HEIGHT}+${BALLOON_X}+${BALLOON_Y}, icon ${ICON_WIDTH}x${ICON_HEIGHT}+${ICON_X}+${ICON_Y}"
    echo "$edge edge: $where"
    shot "$edge"
    [ "$BALLOON_X" -ge 0 ] && [ "$BALLOON_Y" -ge 0 ] &&
        [ $((BALLOON_X + BALLOON_WIDTH)) -le "$screen_width" ] &&
        [ $((BALLOON_Y + BALLOON_HEIGHT)) -le "$screen_height" ] ||
        fail "the balloon at the $edge edge is not wholly on the screen: $where"
    [ "$BALLOON_X" -le $((ICON_X + ICON_WIDTH)) ] && [ "$ICON_X" -le $((BALLOON_X + BALLOON_WIDTH)) ] &&
        [ "$BALLOON_Y" -le $((ICON_Y + ICON_HEIGHT)) ] && [ "$ICON_Y" -le $((BALLOON_Y + BALLOON_HEIGHT)) ] ||
        fail "the balloon at the $edge edge does not reach the icon: $where"
    kill -TERM $bob
    wait $bob || fail "bob's program did not end cleanly"
    stop_tray
done

kill -TERM $ann
wait $ann || fail "ann's program did not end cleanly"
echo "balloon at every tray edge: ok"
