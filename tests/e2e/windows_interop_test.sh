#!/usr/bin/env bash
# One snapshot means the same on Linux and on Windows, through a real tern-server on loopback (Wine
# programs reach it there too):
#  - text and a web page copied with the Linux tool are put on the Wine clipboard by the Windows tool
#    as CF_UNICODETEXT and a valid "HTML Format" (what the Windows tool copies back from that
#    clipboard shows it);
#  - that Windows copy, Remote-Pasted by the Linux desktop program, offers the text and text/html;
#  - with one end-to-end key on both, a keyed copy of either tool pastes with the other; under another
#    key the paste fails with the key text.
# Run inside scripts/headless-desktop.sh:
#   windows_interop_test.sh LINUX_BIN WINDOWS_BIN
set -euo pipefail
bin=$1
windows_bin=$2
source "$(dirname "$0")/e2e_lib.sh"
e2e_init windows-interop
command -v wine >/dev/null || fail "Wine is not installed"

make_users ann
start_server

# A Wine prefix of this test's own. The Wine clipboard lives only while a Wine program runs: a command
# interpreter waits on a pipe for the whole test (closing the pipe ends it) and keeps it.
export WINEPREFIX=$base/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot --init >/dev/null 2>&1 || fail "Wine prefix"
wineserver --wait
mkfifo "$base/keeper"
wine cmd.exe <"$base/keeper" >/dev/null 2>&1 &
pids+=($!)
exec 8>"$base/keeper"
trap 'exec 8>&-; wineserver --kill 2>/dev/null || true; e2e_cleanup' EXIT
win_tern() { wine "$windows_bin/tern.exe" "$@" 2>>"$base/wine.log"; }

as_user ann "$bin/tern" config set ServiceHost "$service"
echo "secret-pass" | as_user ann "$bin/tern" register "both@example.org" >/dev/null || fail "register"
win_tern config set ServiceHost "$service" >/dev/null || fail "settings under Wine"
echo "secret-pass" | win_tern login "both@example.org" >/dev/null || fail "login under Wine"

# Linux to Windows: text and HTML (format 0xF000) from the Linux tool, pasted under Wine.
printf 'plain caf\xc3\xa9 text' >"$base/text.txt"
printf '<p>rich <b>caf\xc3\xa9</b> words</p>' >"$base/page.html"
as_user ann "$bin/tern" copy "$base/text.txt" --format 61440="$base/page.html" >/dev/null || fail "copy on Linux"
win_tern paste --clipboard >/dev/null || fail "paste to the Wine clipboard"

# What the Wine clipboard holds, as the Windows tool copies it: read back on Linux record by record.
win_tern copy --clipboard >/dev/null || fail "copy from the Wine clipboard"
as_user ann "$bin/tern" paste --out "$base/windows" >/dev/null || fail "download of the Windows copy"
{ iconv -f UTF-8 -t UTF-16LE "$base/text.txt"; printf '\0\0'; } >"$base/text.utf16"
cmp -s "$base/windows"/*-13.bin "$base/text.utf16" || fail "CF_UNICODETEXT differs: $(ls "$base/windows")"
html_record=$(grep -l -a '^Version:' "$base/windows"/*.bin | head -n 1)
[ -n "$html_record" ] || fail "no HTML Format on the Wine clipboard: $(ls "$base/windows")"
grep -q -a "HTML Format" "$base/windows"/*-61695.bin || fail "the name table does not name HTML Format"
offset() { grep -a -o "^$1:[0-9-]*" "$html_record" | head -n 1 | cut -d: -f2 | sed 's/^0*\([0-9]\)/\1/'; }
start_html=$(offset StartHTML)
end_html=$(offset EndHTML)
start_fragment=$(offset StartFragment)
end_fragment=$(offset EndFragment)
[ "$start_html" -le "$start_fragment" ] && [ "$start_fragment" -le "$end_fragment" ] &&
    [ "$end_fragment" -le "$end_html" ] && [ "$end_html" -le "$(stat -c %s "$html_record")" ] ||
    fail "HTML Format offsets out of order: $start_html $start_fragment $end_fragment $end_html"
fragment=$(tail -c +$((start_fragment + 1)) "$html_record" | head -c $((end_fragment - start_fragment)))
[ "$fragment" = "$(cat "$base/page.html")" ] || fail "the HTML Format fragment is \"$fragment\""
echo "Linux to Windows: CF_UNICODETEXT and HTML Format"

# Windows to Linux: the desktop program's Remote Paste of that Windows copy.
env $(user_env ann) "$bin/tern-clipboard" 2>"$base/ann.log" &
ann=$!
pids+=($ann)
wait_for 100 xdotool search --name "^TernClipboardStarted$" || fail "the desktop program did not start"
press_hotkey_until ctrl+shift+y menu_shown $ann || fail "no hotkey menu"
xdotool key Down Down Down Return
has_html() { timeout 5 xclip -selection clipboard -o -t TARGETS 2>/dev/null | grep -qx "text/html"; }
wait_for 150 has_html || fail "the pasted clipboard offers no HTML"
pasted_html=$(timeout 5 xclip -selection clipboard -o -t text/html)
case "$pasted_html" in
    Version:*) fail "the HTML kept its Windows header" ;;
    *"$(cat "$base/page.html")"*) ;;
    *) fail "the pasted HTML is \"$pasted_html\"" ;;
esac
[ "$(timeout 5 xclip -selection clipboard -o -t UTF8_STRING)" = "$(cat "$base/text.txt")" ] ||
    fail "the pasted text differs"
shot "pasted-on-linux"
echo "Windows to Linux: text and text/html"

# End-to-end keys: the same passphrase on both computers opens each other's keyed copies.
key_text="This copy was made with an end-to-end key. Set the same key on this computer to paste it."
echo "one key on both computers" | win_tern key set >/dev/null || fail "key set under Wine"
echo "one key on both computers" | as_user ann "$bin/tern" key set >/dev/null || fail "key set on Linux"
printf 'keyed on windows' | win_tern copy >/dev/null || fail "keyed copy under Wine"
[ "$(as_user ann "$bin/tern" paste 2>&1)" = "keyed on windows" ] || fail "Linux did not open the Windows keyed copy"
printf 'keyed on linux' | as_user ann "$bin/tern" copy >/dev/null || fail "keyed copy on Linux"
[ "$(win_tern paste | tr -d '\r')" = "keyed on linux" ] || fail "Windows did not open the Linux keyed copy"
# Under another key the Linux tool's copy does not open on Windows, nor the Windows copy on Linux.
echo "another key entirely" | win_tern key set >/dev/null || fail "second key set under Wine"
refused=$(wine "$windows_bin/tern.exe" paste 2>&1 | tr -d '\r') && fail "Windows opened a copy of another key"
[[ "$refused" == *"$key_text"* ]] || fail "Windows refused with \"$refused\""
printf 'keyed again on windows' | win_tern copy >/dev/null || fail "second keyed copy under Wine"
refused=$(as_user ann "$bin/tern" paste 2>&1) && fail "Linux opened a copy of another key"
[[ "$refused" == *"$key_text"* ]] || fail "Linux refused with \"$refused\""
echo "end-to-end keys: the same key opens, another refuses, both ways"
echo "windows interop: ok"
