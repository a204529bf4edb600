#!/usr/bin/env bash
# The installed Windows desktop program under Wine and the Linux desktop program share one account of
# a real tern-server on loopback (Wine programs reach it there too):
#  - installed silently and logged in with the installed tern.exe, the program starts without dialogs
#    and puts its icon into the tray;
#  - its hotkey, pressed in a Wine window, opens the hotkey menu at the mouse pointer;
#  - rich text Remote-Copied from a Wine text field, Remote-Pasted by the Linux program, offers the
#    same text and HTML on Linux;
#  - rich text Remote-Copied by the Linux program, Remote-Pasted into a Wine text field, arrives there,
#    and the Wine clipboard holds it as CF_UNICODETEXT and "HTML Format";
#  - Share Screen and Annotate & Share Area upload pictures that the service serves, of the screen's
#    size and of the selection's;
#  - `tern.exe quit-running` ends the Windows program.
# Run inside scripts/headless-desktop.sh:
#   windows_desktop_test.sh LINUX_BIN WINDOWS_BUILD_DIR
set -euo pipefail
bin=$1
build=$(cd "$2" && pwd)
source "$(dirname "$0")/e2e_lib.sh"
e2e_init windows-desktop
installer=$(ls "$build"/tern-clipboard-*-setup.exe 2>/dev/null | head -n 1)
[ -n "$installer" ] || fail "no installer in $build"

make_users ann
start_server

wine_init
folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/Tern Clipboard"
wine "$installer" /S || fail "the silent install failed"
win_tern() { wine "$folder/tern.exe" "$@" 2>>"$base/wine.log"; }
# The hotkey menu of the Windows program: a visible window of its process wider than a tray icon.
windows_menu() {
    local found
    found=$(window_of "$win_pid" 'WIDTH > 32') && echo "${found#* }"
}
# Presses the hotkey until the menu shows: the program registers it a while after its start, which
# under Wine can take long on a busy machine.
open_windows_menu() {
    local attempt
    for attempt in $(seq 1 30); do
        xdotool key ctrl+shift+y
        wait_for 30 windows_menu && return 0
    done
    return 1
}
# A Wine text field (the build's test field, beside the build's Qt), writing its text to $2.
wine_field() {
    wine "$build/bin/tern_test_field.exe" "$1" "$(winepath -w "$2")" >>"$base/field.log" 2>&1 &
    pids+=($!)
    wait_for 300 xdotool search --onlyvisible --name "^tern-test-field\$" || fail "the Wine text field did not appear"
}
close_fields() {
    local w
    for w in $(xdotool search --onlyvisible --name "^tern-test-field\$" 2>/dev/null); do
        xdotool windowclose "$w" 2>/dev/null || true
    done
    wait_for 100 bash -c '! xdotool search --onlyvisible --name "^tern-test-field\$"' || fail "a text field stays open"
}
stored_text_is() { [ "$(as_user ann "$bin/tern" paste 2>/dev/null)" = "$1" ]; }
rich='<p>rich <b>bold words</b> here</p>'
plain='rich bold words here'

as_user ann "$bin/tern" config set ServiceHost "$service"
echo "secret-pass" | as_user ann "$bin/tern" register "both@example.org" >/dev/null || fail "register"
win_tern config set ServiceHost "$service" >/dev/null || fail "settings under Wine"
echo "secret-pass" | win_tern login "both@example.org" >/dev/null || fail "login under Wine"

# Wine runs a program in the process that starts it: its PID is the program's.
start_windows_program() {
    (cd "$folder" && exec wine ./tern-clipboard.exe >>"$base/windows.log" 2>&1) &
    win_pid=$!
    pids+=($win_pid)
}
quit_windows_program() {
    win_tern quit-running >/dev/null || fail "tern.exe quit-running"
    wait_for 200 bash -c "! kill -0 $win_pid 2>/dev/null" || fail "the Windows program did not end"
}

# Windows to Linux: Remote Copy from a Wine text field, through the hotkey menu at the pointer.
start_windows_program
wine_field "$rich" "$base/wine-field1.txt"
# Wine learns where the pointer is from the pointer's moves over its own windows: into the field.
field=$(xdotool search --onlyvisible --name "^tern-test-field\$" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$field")"
pointer_x=$((X + 40))
pointer_y=$((Y + 20))
xdotool mousemove $((pointer_x - 5)) $((pointer_y - 5)) mousemove "$pointer_x" "$pointer_y"
# The hotkey reaches a Wine program while a Wine window has the keyboard.
open_windows_menu || fail "no hotkey menu"
shot "windows-hotkey-menu"
menu_at=$(windows_menu)
read -r menu_x menu_y <<<"$menu_at"
[ $((menu_x - pointer_x)) -ge -4 ] && [ $((menu_x - pointer_x)) -le 4 ] && [ $((menu_y - pointer_y)) -ge -4 ] &&
    [ $((menu_y - pointer_y)) -le 4 ] || fail "the menu opened at $menu_at, not at the pointer ($pointer_x $pointer_y)"
xdotool key Down Down Return
wait_for 300 stored_text_is "$plain" || fail "the Windows Remote Copy did not reach the service"
shot "windows-copied"
echo "Windows: hotkey menu at the pointer, Remote Copy"

quit_windows_program
close_fields

# The Linux program's Remote Paste of that copy offers the text and the HTML.
env $(user_env ann) "$bin/tern-clipboard" 2>"$base/ann.log" &
ann=$!
pids+=($ann)
wait_for 100 xdotool search --name "^TernClipboardStarted$" || fail "the Linux program did not start"
"$bin/tern_test_field" "" "$base/linux-field1.txt" &
pids+=($!)
wait_for 100 xdotool search --onlyvisible --name "^tern-test-field$" || fail "the Linux text field did not appear"
press_hotkey_until ctrl+shift+y menu_shown $ann || fail "no hotkey menu on Linux"
xdotool key Down Down Down Return
wait_for 150 grep -qx "$plain" "$base/linux-field1.txt" || fail "the Linux Remote Paste did not reach the field"
has_html() { timeout 5 xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -qx "text/html"; }
wait_for 150 has_html || fail "the pasted clipboard offers no HTML"
timeout 5 xclip -selection clipboard -o -t text/html | grep -q "<b>bold words</b>\|font-weight:700;\">bold words" ||
    fail "the HTML did not survive the trip from Windows"
[ "$(timeout 5 xclip -selection clipboard -o -t UTF8_STRING)" = "$plain" ] ||
    fail "the text did not survive the trip from Windows"
echo "Windows to Linux: text and HTML"
close_fields

# Linux to Windows: Remote Copy from a Linux text field with other words.
"$bin/tern_test_field" "<p>from <i>linux</i> now</p>" "$base/linux-field.txt" &
pids+=($!)
wait_for 100 xdotool search --onlyvisible --name "^tern-test-field$" || fail "the Linux text field did not appear"
press_hotkey_until ctrl+shift+y menu_shown $ann || fail "no hotkey menu on Linux"
xdotool key Down Down Return
wait_for 150 stored_text_is "from linux now" || fail "the Linux Remote Copy did not reach the service"
as_user ann "$bin/tern" quit-running >/dev/null || fail "tern quit-running on Linux"
wait_for 100 bash -c "! kill -0 $ann 2>/dev/null" || fail "the Linux program did not end"
close_fields

start_windows_program
wine_field "" "$base/wine-field2.txt"
open_windows_menu || fail "no hotkey menu the second time"
xdotool key Down Down Down Return
wait_for 300 grep -qx "from linux now" "$base/wine-field2.txt" || fail "the Remote Paste did not reach the Wine field"
shot "windows-pasted"
# What the Wine clipboard holds, as the Windows tool copies it, read back record by record.
win_tern copy --clipboard >/dev/null || fail "copy from the Wine clipboard"
as_user ann "$bin/tern" paste --out "$base/windows" >/dev/null || fail "download of the Windows copy"
{ printf 'from linux now' | iconv -f UTF-8 -t UTF-16LE; printf '\0\0'; } >"$base/text.utf16"
cmp -s "$base/windows"/*-13.bin "$base/text.utf16" || fail "CF_UNICODETEXT differs: $(ls "$base/windows")"
html_record=$(grep -l -a '^Version:' "$base/windows"/*.bin | head -n 1)
[ -n "$html_record" ] || fail "no HTML Format on the Wine clipboard: $(ls "$base/windows")"
grep -q -a "<i>linux</i>\|font-style:italic;\">linux" "$html_record" || fail "the HTML Format lost the page"
echo "Linux to Windows: text in the field, CF_UNICODETEXT and HTML Format on the clipboard"

# Share Screen: the link goes onto the Wine clipboard, which Wine offers on the X clipboard.
open_windows_menu || fail "no hotkey menu for Share Screen"
xdotool key Down Down Down Down Down Return
shared_link screen
[ "$(identify -format '%wx%h' "$picture")" = "1920x1080" ] || fail "Share Screen gave $(identify -format '%wx%h' "$picture")"
cp "$picture" "$artifacts/$test_name-screen-shared.${picture##*.}"
echo "Windows: Share Screen"

# Annotate & Share Area: select 600x400 pixels, upload from the tool palette.
open_windows_menu || fail "no hotkey menu for Annotate & Share Area"
xdotool key Down Down Down Down Down Down Down Return
palette() {
    local found
    found=$(window_of "$win_pid" 'WIDTH < 400' --name "^Tools\$") && echo "${found%% *}"
}
selector() {
    local found
    found=$(window_of "$win_pid" 'WIDTH >= 1920 && HEIGHT >= 1080') && echo "${found%% *}"
}
wait_for 300 palette || fail "no tool palette"
wait_for 300 selector || fail "no selector over the screen"
# The selector is a tool window, which Wine tells the window manager to keep off the taskbar.
xprop -id "$(selector)" _NET_WM_STATE | grep -q "_NET_WM_STATE_SKIP_TASKBAR" || fail "the selector is on the taskbar"
# Wine follows the pointer over its own windows: the selection is dragged over the Wine field.
field=$(xdotool search --onlyvisible --name "^tern-test-field\$" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$field")"
xdotool mousemove $((X + 10)) $((Y + 10)) mousedown 1 mousemove $((X + 100)) $((Y + 30)) \
    mousemove $((X + 210)) $((Y + 60)) mouseup 1
shot "area-selected"
xwininfo -id "$(palette)" >"$base/palette.txt"
palette_x=$(sed -n 's/.*Absolute upper-left X: *//p' "$base/palette.txt")
palette_y=$(sed -n 's/.*Absolute upper-left Y: *//p' "$base/palette.txt")
palette_width=$(sed -n 's/.*Width: *//p' "$base/palette.txt")
palette_height=$(sed -n 's/.*Height: *//p' "$base/palette.txt")
# The upload button: the last one, across the palette's bottom.
xdotool mousemove $((palette_x + palette_width / 2)) $((palette_y + palette_height - 33)) click 1
shared_link area
cp "$picture" "$artifacts/$test_name-area-shared.${picture##*.}"
[ "$(identify -format '%wx%h' "$picture")" = "200x50" ] || fail "Annotate & Share Area gave $(identify -format '%wx%h' "$picture")"
echo "Windows: Annotate & Share Area"

quit_windows_program
echo "windows desktop: ok"
