#!/usr/bin/env bash
# The hotkey through the desktop portal's global shortcuts in a Wayland session
# (scripts/headless-sway.sh): the real xdg-desktop-portal with a backend of ours behind it
# (tern_fake_shortcuts_backend). A copy that starts binds Shift+Ctrl+Y there as CTRL+SHIFT+y, says
# which key the desktop bound instead of asking for a key binding, and a press of that shortcut opens
# the hotkey menu. Where the user declines the binding, the start notice asks for the key binding.
#   portal_hotkey_on_wayland_test.sh BIN_DIR BACKEND
# Without a compositor or without xdg-desktop-portal it skips (status 77), unless
# TERN_REQUIRE_WAYLAND=1.
set -euo pipefail
bin=$1
backend=$2
source "$(dirname "$0")/sway_test_lib.sh"
sway_test_init portal-hotkey
unset DISPLAY
portal=/usr/libexec/xdg-desktop-portal
if [ ! -x "$portal" ]; then
    [ "${TERN_REQUIRE_WAYLAND:-}" = 1 ] && fail "no $portal"
    echo "no xdg-desktop-portal: skipped"
    exit 77
fi

# The portal takes our backend for this desktop, through a .portal file of its own folder.
mkdir -p "$home/portals"
printf '[portal]\nDBusName=org.freedesktop.impl.portal.desktop.terntest\nInterfaces=org.freedesktop.impl.portal.GlobalShortcuts;\nUseIn=terntest\n' \
    >"$home/portals/terntest.portal"
has_name() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
        "string:$1" | grep -q 'boolean true'
}
# Starts the backend answering $1 (0 bind, 1 declined) and the portal in front of it.
start_portal() {
    "$backend" --answer "$1" --trigger "Shift+Ctrl+Y (desktop)" >"$home/backend.log" 2>&1 &
    pids+=($!)
    wait_for 100 has_name org.freedesktop.impl.portal.desktop.terntest || fail "the backend took no name"
    XDG_DESKTOP_PORTAL_DIR=$home/portals XDG_CURRENT_DESKTOP=terntest "$portal" >"$home/portal.log" 2>&1 &
    pids+=($!)
    wait_for 100 has_name org.freedesktop.portal.Desktop || fail "the portal did not start: $(cat "$home/portal.log")"
}
stop_all() {
    "$bin/tern" quit-running >/dev/null 2>&1 || true
    stop_started
    pids=()
    makoctl dismiss --all 2>/dev/null || true
}
start_program() {
    QT_QPA_PLATFORM=wayland "$bin/tern-clipboard" >"$home/program.log" 2>&1 &
    pids+=($!)
}
notices() { makoctl list 2>&1; }

sign_in_offline
start_portal 0
start_program
bound() { grep -q "^bound hotkey-1 description=Hotkey preferred_trigger=CTRL+SHIFT+y$" "$home/backend.log"; }
wait_for 150 bound || fail "the hotkey was not bound through the portal: $(cat "$home/backend.log")"
key_notice() { notices | grep -q "Press Shift+Ctrl+Y (desktop) to open the Tern Clipboard menu"; }
wait_for 100 key_notice || fail "no notice of the key the desktop bound: $(notices)"
notices | grep -q "tern-clipboard --menu" && fail "the notice still asks for a key binding: $(notices)"
[ -n "${TERN_ARTIFACTS_DIR:-}" ] && grim "$TERN_ARTIFACTS_DIR/wayland-portal-start-notice.png"

# The desktop's press of the shortcut opens the hotkey menu, the focused floating window of ours.
dbus-send --session --print-reply --dest=org.freedesktop.impl.portal.desktop.terntest \
    /org/freedesktop/portal/desktop org.tern.TestPortal.Press string:hotkey-1 >/dev/null
wait_for 50 menu_focused || fail "the shortcut's activation opened no menu"
[ -n "${TERN_ARTIFACTS_DIR:-}" ] && grim "$TERN_ARTIFACTS_DIR/wayland-portal-hotkey-menu.png"
wtype -k Escape
wait_for 50 eval '! menu_focused' || fail "the menu did not close on Esc"
stop_all

# The user declines the binding: the start notice asks for the desktop's key binding instead.
start_portal 1
start_program
advice() { notices | grep -q "The desktop did not bind the hotkey"; }
wait_for 150 advice || fail "no advice after the binding was declined: $(notices)"
notices | grep -q "tern-clipboard --menu" || fail "the advice names no command to bind: $(notices)"
[ -n "${TERN_ARTIFACTS_DIR:-}" ] && grim "$TERN_ARTIFACTS_DIR/wayland-portal-declined-notice.png"
grep -q "^bound hotkey-1 " "$home/backend.log" || fail "the hotkey was not offered to the portal"
echo "PASS: the hotkey is bound through the portal, its activation opens the menu, a refusal leaves the advice"
