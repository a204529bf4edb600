#!/usr/bin/env bash
# Annotate & Share Area in a Wayland session (scripts/headless-sway.sh --outputs 2): `--share-area`
# freezes the primary output and covers it as that output's full-screen window (the compositor places
# a program's windows; one can cover one output only), dimmed against what grim saw before, with the
# palette beside it; Esc cancels with nothing shared and the program still running.
#   area_on_wayland_test.sh BIN_DIR COLOUR_APP
# Without a compositor it skips (status 77), unless TERN_REQUIRE_WAYLAND=1.
set -euo pipefail
bin=$1
colour_app=$2
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

"$bin/tern-clipboard" --share-area || fail "--share-area was not taken"
read -r output_width output_height < <(swaymsg -t get_outputs | python3 -c '
import json, sys
o = [o for o in json.load(sys.stdin) if o["name"] == "HEADLESS-1"][0]["rect"]
print(o["width"], o["height"])')
selector_covers_output() {
    program_windows | grep -q "^Tern_Clipboard 1 1 0 0 $output_width $output_height\$"
}
wait_for 100 selector_covers_output || fail "no full-screen selector on the first output: $(program_windows)"
wait_for 50 eval 'program_windows | grep -q "^Tools "' || fail "no palette: $(program_windows)"
# The frozen picture is dimmed: darker than the output was, at a place far from the palette. The
# window is full screen before it has drawn, so this is waited for.
brightness() { convert "$1" -crop 40x40+100+500 +repage -colorspace Gray -format '%[fx:mean]' info:; }
before=$(brightness "$home/before.png")
dimmed() {
    grim "$home/selector.png"
    awk -v before="$before" -v frozen="$(brightness "$home/selector.png")" \
        'BEGIN { exit !(frozen < before * 0.95 && frozen > before * 0.3) }'
}
wait_for 50 dimmed || fail "the selector does not show the dimmed output: $before $(brightness "$home/selector.png")"
[ -n "${TERN_ARTIFACTS_DIR:-}" ] && cp "$home/selector.png" "$TERN_ARTIFACTS_DIR/wayland-area-selector.png"

wtype -k Escape
selector_gone() { ! program_windows | grep -q "^Tern_Clipboard 1 "; }
wait_for 100 selector_gone || fail "Esc did not end the selector: $(program_windows)"
kill -0 "$program" || fail "the program ended"
echo "PASS: the area selector covered the primary output on Wayland and Esc ended it"
