#!/usr/bin/env bash
# The desktop program end to end in a Wayland session (scripts/headless-sway.sh) beside an X11 desktop
# (scripts/headless-desktop.sh, started here when DISPLAY is not set), both users on one real
# tern-server and one account:
# - Ann's copy runs on Wayland. Its hotkey menu (`--menu`, then C) Remote-Copies a Wayland window of
#   ours that offers text, HTML and a PNG; `--paste` Remote-Pastes into another Wayland window: the
#   text arrives in the field, the HTML byte for byte and the picture (carried as a JPEG, as every
#   snapshot carries pictures) on the clipboard.
# - Bob's copy runs on X11: his Remote Paste brings the same into an X window.
# - Ann's `--share-screen` shares a picture of both outputs' size in which a coloured test window
#   shows where grim sees it.
#   remote_on_wayland_test.sh BIN_DIR OFFER_APP FIELD_APP COLOUR_APP
# Without a compositor it skips (status 77), unless TERN_REQUIRE_WAYLAND=1.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/sway_test_lib.sh"
require_sway_session
if [ -z "${DISPLAY:-}" ]; then
    exec "$here/../../../scripts/headless-desktop.sh" --size 1280x720 -- bash "$0" "$@"
fi
bin=$1
offer_app=$2
field_app=$3
colour_app=$4
source "$here/../../e2e/e2e_lib.sh"
e2e_init wayland-remote
wshot() { grim "$artifacts/$test_name-$1.png"; }
# A failure shows both desktops and what the programs said.
fail() {
    echo "FAIL: $*" >&2
    grim "$artifacts/$test_name-failure-wayland.png" 2>/dev/null || true
    /usr/bin/import -window root "$artifacts/$test_name-failure-x11.png" 2>/dev/null || true
    tail -n 20 "$base/ann.log" "$base/bob.log" >&2 2>/dev/null || true
    exit 1
}

# The sway window whose title is $1, as "focused x y width height"; fails while there is none.
sway_window() {
    sway_windows | awk -v name="${1// /_}" '$2 == name { print $5, $6, $7, $8, $9; found = 1; exit }
                                          END { exit !found }'
}
sway_focused() { [ "$(sway_window "$1" | cut -d' ' -f1)" = 1 ]; }
# Whether the picture $1 shows $2: the same size and, since a snapshot carries a picture as a JPEG of
# quality 90, a peak signal-to-noise ratio of at least 30 dB (a swapped channel or a shifted row gives
# far less).
same_picture() {
    [ "$(identify -format '%wx%h' "$1")" = "$(identify -format '%wx%h' "$2")" ] || return 1
    local psnr
    psnr=$(compare -metric PSNR "$1" "$2" null: 2>&1) || true
    awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= 30) }'
}

make_users ann bob
start_server
for user in ann bob; do
    as_user $user "$bin/tern" config set ServiceHost "$service"
    as_user $user "$bin/tern" config set CheckUpdates 0
done
echo "secret-pass" | as_user ann "$bin/tern" register "wayland@example.org" >/dev/null || fail "register"
echo "secret-pass" | as_user bob "$bin/tern" login "wayland@example.org" >/dev/null || fail "login"

env $(user_env ann) QT_QPA_PLATFORM=wayland "$bin/tern-clipboard" 2>"$base/ann.log" &
pids+=($!)
env $(user_env bob) QT_QPA_PLATFORM=xcb "$bin/tern-clipboard" 2>"$base/bob.log" &
pids+=($!)

text='hello from wayland, Grüße'
printf '%s' "$text" >"$base/text.txt"
printf '<html><body><p>rich <b>wayland</b> text</p></body></html>' >"$base/page.html"
convert -size 64x48 gradient:'#0088ff-#ffcc00' -fill '#20a040' -draw 'circle 32,24 32,36' "$base/picture.png"

# Ann: Remote Copy of a Wayland window that answers Ctrl+C with the three types.
QT_QPA_PLATFORM=wayland "$offer_app" "text/plain;charset=utf-8" "$base/text.txt" text/html "$base/page.html" \
    image/png "$base/picture.png" 2>/dev/null &
pids+=($!)
wait_for 100 sway_focused tern-test-offer || fail "the offering window did not come to the front"
# As the desktop's key binding does: the hotkey menu, then C for Remote Copy.
wait_for 150 as_user ann "$bin/tern-clipboard" --menu || fail "Ann's copy did not take --menu"
wait_for 50 sway_focused "Tern Clipboard" || fail "Ann's hotkey menu did not take the keyboard"
wtype c
stored_text() { [ "$(as_user ann "$bin/tern" paste 2>/dev/null)" = "$text" ]; }
wait_for 150 stored_text || fail "the text did not reach the service: '$(as_user ann "$bin/tern" paste 2>&1)'"
rm -rf "$base/stored"
as_user ann "$bin/tern" paste --out "$base/stored" >/dev/null || fail "the snapshot does not download"
html_found=0
for file in "$base"/stored/*.bin; do cmp -s "$file" "$base/page.html" && html_found=1; done
[ $html_found = 1 ] || fail "the HTML was not stored byte for byte: $(ls "$base/stored")"
# The copy's notice comes after the upload; a window that comes to the front before it would lose the
# keyboard to it.
notice_shown() { sway_window "Tern Clipboard" || makoctl list 2>/dev/null | grep -q "Tern Clipboard"; }
wait_for 100 notice_shown || fail "no notice after the copy"
wshot copied

# Ann: Remote Paste into an empty Wayland field.
QT_QPA_PLATFORM=wayland "$field_app" "" "$base/wayland-field.txt" 2>/dev/null &
pids+=($!)
wait_for 100 sway_focused tern-test-field || fail "the Wayland field did not come to the front"
as_user ann "$bin/tern-clipboard" --paste || fail "Ann's copy did not take --paste"
field_has_text() { [ "$(cat "$1" 2>/dev/null)" = "$text" ]; }
wait_for 150 field_has_text "$base/wayland-field.txt" || fail "the text was not pasted into the Wayland field"
wl-paste -n -t text/html >"$base/pasted.html" || fail "no HTML on the Wayland clipboard"
cmp "$base/pasted.html" "$base/page.html" || fail "the HTML changed on the way"
wl-paste -n -t image/png >"$base/pasted.png" || fail "no picture on the Wayland clipboard"
same_picture "$base/pasted.png" "$base/picture.png" || fail "the picture changed on the way"
wshot pasted

# Bob, on X11: Remote Paste of the same snapshot into an X window.
QT_QPA_PLATFORM=xcb "$field_app" "" "$base/x11-field.txt" 2>/dev/null &
pids+=($!)
wait_for 100 xdotool search --onlyvisible --name "^tern-test-field$" || fail "the X11 field did not appear"
xdotool windowactivate --sync "$(xdotool search --onlyvisible --name '^tern-test-field$' | head -n 1)"
wait_for 150 as_user bob "$bin/tern-clipboard" --paste || fail "Bob's copy did not take --paste"
wait_for 150 field_has_text "$base/x11-field.txt" || fail "the text was not pasted into the X11 field"
xclip_type() { timeout 5 xclip -selection clipboard -o -t "$1"; }
xclip_type text/html >"$base/x11.html" || fail "no HTML on the X11 clipboard"
cmp "$base/x11.html" "$base/page.html" || fail "the HTML changed on the way to X11"
xclip_type image/png >"$base/x11.png" || fail "no picture on the X11 clipboard"
same_picture "$base/x11.png" "$base/picture.png" || fail "the picture changed on the way to X11"
shot x11-pasted

# Ann: Share Screen. A coloured window of ours must show in the picture where grim sees it.
QT_QPA_PLATFORM=wayland "$colour_app" tern-colour '#c03080' >/dev/null 2>&1 &
pids+=($!)
wait_for 100 sway_focused tern-colour || fail "the coloured window did not come to the front"
as_user ann "$bin/tern-clipboard" --share-screen || fail "Ann's copy did not take --share-screen"
link=
share_link() {
    link=$(timeout 5 wl-paste -n 2>/dev/null) || return 1
    case "$link" in "$service"/d/*.html) return 0 ;; esac
    return 1
}
wait_for 300 share_link || fail "no share link on the clipboard"
read -r _ x y width height < <(sway_window tern-colour)
grim "$base/grim.png"
page=$(curl -fsS "$link") || fail "the share page does not open"
raw=$(printf '%s' "$page" | grep -o '/d/[A-Za-z0-9_-]*\.\(png\|jpg\)' | head -1)
[ -n "$raw" ] || fail "the share page shows no picture"
curl -fsS "$service$raw" -o "$base/shared.${raw##*.}" || fail "the picture does not download"
outputs=$(identify -format '%wx%h' "$base/grim.png")
[ "$(identify -format '%wx%h' "$base/shared.${raw##*.}")" = "$outputs" ] ||
    fail "the shared picture is not $outputs"
cp "$base/shared.${raw##*.}" "$artifacts/$test_name-shared-picture.${raw##*.}"
# A region in the middle of the window, in both pictures: the window's colour.
region="40x40+$((x + width / 2 - 20))+$((y + height / 2 - 20))"
convert "$base/shared.${raw##*.}" -crop "$region" +repage "$base/shared-region.png"
convert "$base/grim.png" -crop "$region" +repage "$base/grim-region.png"
[ "$(convert "$base/grim-region.png" -format '%[pixel:p{0,0}]' info:)" != "" ] || fail "no region"
compare -metric AE -fuzz 3% "$base/shared-region.png" "$base/grim-region.png" null: 2>/dev/null ||
    fail "the coloured window does not show in the shared picture where grim sees it"
wshot shared
echo "remote on wayland: ok"
