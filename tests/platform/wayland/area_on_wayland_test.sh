#!/usr/bin/env bash
# Annotate & Share Area in a Wayland session on two outputs (scripts/headless-sway.sh --outputs 2):
# `--share-area` freezes both outputs and covers each with a full-screen window of its own, dimmed
# against what grim saw before, with the palette beside them; Esc cancels, also while the second
# output's window has the keyboard. A selection dragged across both outputs and uploaded holds both
# outputs' pixels: the service cannot be reached, so the picture stays in last_snap.bmp, which is
# compared with grim's picture of the same place.
#   area_on_wayland_test.sh BIN_DIR COLOUR_APP POINTER_APP
# Without a compositor it skips (status 77), unless TERN_REQUIRE_WAYLAND=1.
set -euo pipefail
bin=$1
colour_app=$2
pointer_app=$3
source "$(dirname "$0")/sway_test_lib.sh"
sway_test_init area
# The program's windows as "name fullscreen focused x y width height", one a line.
program_windows() {
    sway_windows | awk '$1 == "com.quarrowlabs.TernClipboard" { print $2, $4, $5, $6, $7, $8, $9 }'
}
sign_in_offline
QT_QPA_PLATFORM=wayland "$bin/tern-clipboard" >"$home/program.log" 2>&1 &
pids+=($!)
program=$!
QT_QPA_PLATFORM=wayland "$colour_app" tern-colour '#c03080' >"$home/colour.out" 2>&1 &
pids+=($!)
start_notice() { makoctl list | grep -q "tern-clipboard --menu"; }
wait_for 150 start_notice || fail "the program did not start"
wait_for 100 grep -q painted "$home/colour.out" || fail "the coloured window did not show"
# The notice is gone before the picture is taken that the frozen one is compared with.
makoctl dismiss --all
grim "$home/before.png"
read -r width height < <(swaymsg -t get_outputs | python3 -c '
import json, sys
o = [o for o in json.load(sys.stdin) if o["name"] == "HEADLESS-1"][0]["rect"]
print(o["width"], o["height"])')
# The test's pointer: the session has no input devices.
coproc pointer { "$pointer_app" $((2 * width)) "$height"; }
pids+=("$pointer_PID")
read -r -t 10 -u "${pointer[0]}" answer && [ "$answer" = ready ] || fail "no pointer"
point() {
    local command answer
    for command in "$@"; do
        echo "$command" >&"${pointer[1]}"
        read -r -t 10 -u "${pointer[0]}" answer && [ "$answer" = ok ] || fail "the pointer did not $command"
    done
}

# Both outputs covered, each by a full-screen window of the selector's, showing its output dimmed.
selector_on_both() {
    program_windows | grep -q "^Tern_Clipboard 1 . 0 0 $width $height\$" &&
        program_windows | grep -q "^Tern_Clipboard 1 . $width 0 $width $height\$"
}
brightness() { convert "$1" -crop "40x40+$2+500" +repage -colorspace Gray -format '%[fx:mean]' info:; }
dimmed() {
    local x frozen before
    grim "$home/selector.png"
    for x in 100 $((width + 100)); do
        before=$(brightness "$home/before.png" $x)
        frozen=$(brightness "$home/selector.png" $x)
        awk -v b="$before" -v f="$frozen" 'BEGIN { exit !(f < b * 0.95 && f > b * 0.3) }' || return 1
    done
}
"$bin/tern-clipboard" --share-area || fail "--share-area was not taken"
wait_for 100 selector_on_both || fail "no full-screen selector on each output: $(program_windows)"
wait_for 50 eval 'program_windows | grep -q "^Tools "' || fail "no palette: $(program_windows)"
# The windows are full screen before they have drawn, so this is waited for.
wait_for 50 dimmed || fail "the selector does not show both outputs dimmed"
[ -n "${TERN_ARTIFACTS_DIR:-}" ] && cp "$home/selector.png" "$TERN_ARTIFACTS_DIR/wayland-area-selector.png"
# Esc reaches the selector from the second output's window too.
swaymsg focus output HEADLESS-2 >/dev/null
wtype -k Escape
selector_gone() { ! program_windows | grep -q "^Tern_Clipboard 1 "; }
wait_for 100 selector_gone || fail "Esc did not end the selector: $(program_windows)"

# A selection from the first output into the second, uploaded from the palette. (The borders show
# where the keyboard went since: the picture to compare with is taken again.)
grim "$home/before.png"
"$bin/tern-clipboard" --share-area || fail "--share-area was not taken the second time"
wait_for 100 selector_on_both || fail "no selector the second time: $(program_windows)"
wait_for 50 eval 'program_windows | grep -q "^Tools "' || fail "no palette the second time: $(program_windows)"
wait_for 50 dimmed || fail "the second selector does not show both outputs dimmed"
left=$((width - 280)) top=300 area_width=600 area_height=200
point "move $left $top" press "move $((left + 300)) 400" "move $((left + area_width)) $((top + area_height))" release
# The selection's frame shows on both outputs: at its corner on the first and the opposite one on the
# second.
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }
framed() {
    grim "$home/selected.png"
    [ "$(pixel "$home/selected.png" $left $top)" != "$(pixel "$home/selector.png" $left $top)" ] &&
        [ "$(pixel "$home/selected.png" $((left + area_width)) $((top + area_height)))" != \
            "$(pixel "$home/selector.png" $((left + area_width)) $((top + area_height)))" ]
}
wait_for 30 framed || fail "the selection's frame does not show on both outputs"
[ -n "${TERN_ARTIFACTS_DIR:-}" ] && cp "$home/selected.png" "$TERN_ARTIFACTS_DIR/wayland-area-selected.png"
# The palette's Upload button: the middle of its bottom row.
read -r x y w h < <(program_windows | awk '$1 == "Tools" { print $4, $5, $6, $7 }')
point "move $((x + w / 2)) $((y + h - 32))" press release
snapshot="$XDG_DATA_HOME/Tern Clipboard/last_snap.bmp"
wait_for 150 test -s "$snapshot" || fail "the selected area was not kept: $(program_windows)"
wait_for 50 selector_gone || fail "the selector stayed after the upload"
[ "$(identify -format '%wx%h' "$snapshot")" = "${area_width}x$area_height" ] ||
    fail "the picture is $(identify -format '%wx%h' "$snapshot"), not ${area_width}x$area_height"
convert "$home/before.png" -crop "${area_width}x$area_height+$left+$top" +repage "$home/expected.png"
compare -metric AE "$snapshot" "$home/expected.png" null: 2>/dev/null ||
    fail "the picture differs from the two outputs under the selection"
kill -0 "$program" || fail "the program ended"
echo "PASS: the area selector covered both outputs on Wayland, took Esc on either and shared across them"
