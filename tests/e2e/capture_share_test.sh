#!/usr/bin/env bash
# Capture and share on a desktop of two monitors of different sizes, the primary one on the right
# (the virtual desktop starts left of the primary monitor): Share Screen yields the whole virtual
# desktop; Share Current Window yields the window in front with its frame; Annotate & Share Area,
# driven with the mouse and keys, shares the selection with a rectangle, an arrow and a text drawn on
# it; a share that fails leaves "last_snap.bmp", and the next command's Retry shares it and removes it.
# Runs inside its own headless desktop of 3200x1080 (see CMakeLists.txt).
set -euo pipefail
bin=$1
field_app=$2
source "$(dirname "$0")/e2e_lib.sh"
e2e_init capture
export HOME=$base/ann XDG_CONFIG_HOME=$base/ann/config XDG_DATA_HOME=$base/ann/data XDG_RUNTIME_DIR=$base/ann/runtime
mkdir -p "$XDG_RUNTIME_DIR"; chmod 700 "$XDG_RUNTIME_DIR"
snapshot="$XDG_DATA_HOME/Tern Clipboard/last_snap.bmp"

# A 1280x1024 monitor on the left and the primary 1920x1080 monitor on the right.
xrandr --setmonitor right 1920/508x1080/286+1280+0 screen >/dev/null
xrandr --setmonitor left 1280/339x1024/271+0+0 none >/dev/null
xrandr --output screen --primary
[ "$(xrandr --listmonitors | head -1)" = "Monitors: 2" ] || fail "two monitors were not set up"
xsetroot -solid "#2e6b8f"

clipboard() { timeout 5 xclip -selection clipboard -o 2>/dev/null || true; }
# The program's menus only: a balloon or a message box of the program is not a menu.
program_menu_shown() { menu_shown "$program_pid"; }
# Chooses the n-th entry of the hotkey menu (1 is its title, 2 Remote Copy, 5 Share Screen, ...).
hotkey_command() {
    press_hotkey_until ctrl+shift+y program_menu_shown || fail "no hotkey menu"
    local keys=() i
    for ((i = 0; i < $1; i++)); do keys+=(Down); done
    xdotool key "${keys[@]}" Return
}
# Clicks button N of the balloon. Its buttons end 20 pixels left of its right edge, the first one
# rightmost, 5 pixels apart, each 9 pixels a caption character wide and 25 high, 10 above the bottom.
click_balloon_button() {
    local balloon left top width height first second x
    balloon=$(big_windows --name "^Tern Clipboard\$" | head -1)
    [ -n "$balloon" ] || fail "no balloon to click"
    left=$(xwininfo -id "$balloon" | sed -n 's/.*Absolute upper-left X: *//p')
    top=$(xwininfo -id "$balloon" | sed -n 's/.*Absolute upper-left Y: *//p')
    width=$(xwininfo -id "$balloon" | sed -n 's/.*Width: *//p')
    height=$(xwininfo -id "$balloon" | sed -n 's/.*Height: *//p')
    first=$(("$(printf '%s' "$("$bin/tern" text GLOBAL bCancel)" | wc -m)" * 9))
    second=$(("$(printf '%s' "$("$bin/tern" text GLOBAL bRetry)" | wc -m)" * 9))
    x=$((left + width - 20 - first / 2))
    [ "$1" = 2 ] && x=$((left + width - 20 - first - 5 - second / 2))
    xdotool mousemove "$x" $((top + height - 22)) click 1
}
picture_size() { identify -format '%wx%h' "$1"; }

start_server
"$bin/tern" config set ServiceHost "$service"
echo "secret-pass" | "$bin/tern" register "shots@example.org" >/dev/null || fail "register"

# The selector logs how long it took from its creation to its first frame.
QT_LOGGING_RULES="tern.annotate.debug=true" "$bin/tern-clipboard" 2>>"$base/program.log" &
program_pid=$!
pids+=($program_pid)
wait_for 100 xdotool search --name "^TernClipboardStarted\$" || fail "the program did not start"
sleep 1

# A window in front on the left monitor, whose frame openbox draws.
"$field_app" "window in front" "$base/field.txt" &
pids+=($!)
wait_for 100 xdotool search --onlyvisible --name "^tern-test-field$" || fail "the text field did not appear"
field=$(xdotool search --onlyvisible --name "^tern-test-field$" | head -1)
xdotool windowmove --sync "$field" 200 300
xdotool windowactivate --sync "$field"

# (a) Share Screen: the whole virtual desktop, 3200x1080.
hotkey_command 5
shared_link screen
[ "$(picture_size "$picture")" = "3200x1080" ] || fail "Share Screen gave $(picture_size "$picture")"
[ ! -e "$snapshot" ] || fail "the capture file stays after a successful share"
shot screen-shared

# (b) Share Current Window: the field's window with its frame.
xdotool windowactivate --sync "$field"
frame=$(xprop -id "$field" _NET_FRAME_EXTENTS | sed -n 's/.*= \([0-9]*\), \([0-9]*\), \([0-9]*\), \([0-9]*\)/\1 \2 \3 \4/p')
read -r fl fr ft fb <<<"${frame:-0 0 0 0}"
eval "$(xdotool getwindowgeometry --shell "$field")"
expected="$((WIDTH + fl + fr))x$((HEIGHT + ft + fb))"
hotkey_command 6
shared_link window
[ "$(picture_size "$picture")" = "$expected" ] || fail "Share Current Window gave $(picture_size "$picture"), not $expected"

# (c) Annotate & Share Area on the primary monitor: select 600x400, draw a rectangle and an arrow,
# type a text, upload from the palette.
hotkey_command 7
wait_for 100 bash -c "[ -n \"\$(xdotool search --onlyvisible --name '^Tools\$' 2>/dev/null)\" ]" ||
    fail "no tool palette"
xdotool mousemove 1500 200 mousedown 1 mousemove 1800 400 mousemove 2100 600 mouseup 1
shot area-selected
palette=$(xdotool search --onlyvisible --name "^Tools\$" | head -1)
# The first selector after the start: the palette's frame stands 20 pixels below the monitor's top
# once the window manager has framed it, its title bar on screen.
palette_frame=$(xprop -id "$palette" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ,)
read -r _ _ palette_title _ <<<"${palette_frame:-0 0 0 0}"
palette_top() { xwininfo -id "$palette" | sed -n 's/.*Absolute upper-left Y: *//p'; }
wait_for 20 bash -c "[ \"\$(xwininfo -id $palette | sed -n 's/.*Absolute upper-left Y: *//p')\" -eq $((20 + palette_title)) ]" ||
    fail "the palette's client area is at $(palette_top), not below its $palette_title-pixel title at 20"
# A tool window: no minimise or maximise button takes room from its title.
! xprop -id "$palette" _NET_WM_ALLOWED_ACTIONS | grep -q "MINIMIZE\|MAXIMIZE" || fail "the palette can be minimised or maximised"
# The client area's place on the screen (xdotool's geometry counts the frame of a managed window in).
palette_x=$(xwininfo -id "$palette" | sed -n 's/.*Absolute upper-left X: *//p')
palette_y=$(xwininfo -id "$palette" | sed -n 's/.*Absolute upper-left Y: *//p')
# Centres of the palette's buttons in its client area.
rectangle_tool=(79 79) arrow_tool=(34 124) text_tool=(79 34) upload_with_colours=(56 287)
click_palette() { xdotool mousemove $((palette_x + $1)) $((palette_y + $2)) click 1; sleep 0.3; }
click_palette "${rectangle_tool[@]}"
xdotool mousemove 1550 250 mousedown 1 mousemove 1650 300 mousemove 1700 350 mouseup 1
click_palette "${arrow_tool[@]}"
xdotool mousemove 1750 500 mousedown 1 mousemove 1850 450 mousemove 1950 400 mouseup 1
click_palette "${text_tool[@]}"
xdotool mousemove 1600 520 click 1
xdotool type --delay 30 "look here"
shot area-annotated
click_palette "${upload_with_colours[@]}"
shared_link area
[ "$(picture_size "$picture")" = "600x400" ] || fail "Annotate & Share Area gave $(picture_size "$picture")"
grep -h "selector:" "$base/program.log" || true
# The drawing is in the picture: the default colour is red, which the desktop background has none of.
reds=$(convert "$picture" -fx 'r>0.7 && g<0.3 && b<0.3 ? 1 : 0' -format '%[fx:mean*w*h]' info:)
[ "${reds%.*}" -gt 200 ] || fail "the shared area shows no drawing ($reds red pixels)"

# (d) The service is down: Share Screen fails and keeps the capture; once the service is back, the
# next command asks, and Retry shares the kept picture and removes it.
kill "$server_pid"; wait "$server_pid" 2>/dev/null || true
hotkey_command 5
wait_for 100 test -s "$snapshot" || fail "no capture file after a failed share"
port=${service##*:}
"$bin/tern-server" --listen "127.0.0.1:$port" --data "$base/server" >"$base/server2.out" 2>>"$base/server.log" &
server_pid=$!
pids+=($server_pid)
wait_for 100 grep -q "listening on" "$base/server2.out" || fail "tern-server did not start again"
printf 'not this' | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
pids+=($!)
hotkey_command 5
wait_for 50 balloon_shown || fail "no question about the kept capture"
shot retry-question
click_balloon_button 2
shared_link retry
[ "$(picture_size "$picture")" = "3200x1080" ] || fail "the retry shared $(picture_size "$picture")"
wait_for 50 bash -c "[ ! -e '$snapshot' ]" || fail "the capture file stays after the retry"
echo "capture and share: ok"
