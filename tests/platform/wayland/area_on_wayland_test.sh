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
if [ -z "${WAYLAND_DISPLAY:-}" ] || [ -z "${SWAYSOCK:-}" ]; then
    [ "${TERN_REQUIRE_WAYLAND:-}" = 1 ] && { echo "no Wayland session to test in" >&2; exit 1; }
    echo "no Wayland session: skipped"
    exit 77
fi

home=$(mktemp -d "${TMPDIR:-/tmp}/tern-wayland-area.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$home"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    [ -n "${TERN_ARTIFACTS_DIR:-}" ] && grim "$TERN_ARTIFACTS_DIR/wayland-area-failure.png" 2>/dev/null
    cat "$home/program.log" >&2 2>/dev/null || true
    exit 1
}
wait_for() {
    local tenths=$1; shift
    for ((i = 0; i < tenths; i++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}
# The program's windows as "name fullscreen focused x y width height", one a line.
program_windows() {
    swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from walk(child)
for n in walk(json.load(sys.stdin)):
    if n.get("app_id") == "com.quarrowlabs.TernClipboard" and n.get("type") in ("con", "floating_con"):
        r = n["rect"]
        print(n["name"].replace(" ", "_"), n["fullscreen_mode"], int(n["focused"]), r["x"], r["y"], r["width"], r["height"])'
}
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
"$bin/tern" config set ServiceHost http://127.0.0.1:9
"$bin/tern" config set CheckUpdates 0
"$bin/tern" config set Login ann@example.org
"$bin/tern" config set Password "$(printf 'secret-pass' | "$bin/tern" digest)"
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
