#!/usr/bin/env bash
# The Windows installer under Wine, on the headless desktop, in a Wine prefix of its own:
#  - installs silently (/S) into the user's programs folder: the programs, Qt's and MinGW's DLLs, the
#    language files, a Start menu shortcut and the uninstall entry of the user's Apps list; every DLL
#    that an installed program or DLL imports comes with Windows or is installed;
#  - the installed program starts and shows its first-start language choice; a second start is
#    refused with "Tern Clipboard started already."; `tern.exe quit-running` ends the first;
#  - installing again over a running copy closes it first (the quit message);
#  - uninstalls silently: the files, the shortcuts and the uninstall entry go, the settings stay.
# Run inside scripts/headless-desktop.sh:
#   windows_installer_test.sh WINDOWS_BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(dirname "$0")/e2e_lib.sh"
e2e_init windows-installer
installer=$(ls "$build"/tern-clipboard-*-setup.exe 2>/dev/null | head -n 1)
[ -n "$installer" ] || fail "no installer in $build"

wine_init
user_folder=$WINEPREFIX/drive_c/users/$(id -un)
folder="$user_folder/AppData/Local/Programs/Tern Clipboard"
menu_entry="$user_folder/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tern Clipboard.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\TernClipboard'
settings_key='HKCU\Software\Quarrow Labs\Tern Clipboard'
has_key() { wine reg query "$1" >/dev/null 2>&1; }
window_shown() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }

wine "$installer" /S || fail "the silent install failed"
for file in tern-clipboard.exe tern.exe uninstall.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libstdc++-6.dll \
    platforms/qwindows.dll Languages/english.lng Languages/german.lng licenses/LGPL-3; do
    [ -e "$folder/$file" ] || fail "not installed: $file"
done
[ -e "$menu_entry" ] || fail "no Start menu entry"
has_key "$uninstall_key" || fail "no uninstall entry"
wine reg query "$uninstall_key" /v DisplayVersion | grep -q "$(basename "$installer" | sed 's/tern-clipboard-\(.*\)-setup.exe/\1/')" ||
    fail "the uninstall entry has another version"
"$(dirname "$0")/../../scripts/check-windows-imports.sh" "$folder" ||
    fail "an installed program or DLL imports a DLL that neither comes with Windows nor is installed"
echo "installed: files, Start menu entry, uninstall entry, every imported DLL there"

# The installed program: its first-start language choice, then a refused second start.
# Wine runs a program in the process that starts it: its PID is the program's.
(cd "$folder" && exec wine ./tern-clipboard.exe >"$base/program.log" 2>&1) &
first=$!
pids+=($first)
wait_for 600 window_shown "Tern Clipboard - Select Language" || fail "no language choice at the first start"
shot "first-start"
(cd "$folder" && exec wine ./tern-clipboard.exe >"$base/second.log" 2>&1) &
second=$!
second_box() { xdotool search --onlyvisible --pid "$second" --name "^Tern Clipboard\$" | head -n 1; }
wait_for 300 second_box || fail "the second start showed nothing"
shot "second-start"
xdotool windowactivate --sync "$(second_box)" key Return 2>/dev/null || true
wait_for 100 bash -c "! kill -0 $second 2>/dev/null" || fail "the second copy did not end"
wine "$folder/tern.exe" quit-running >/dev/null 2>&1 || fail "tern.exe quit-running"
wait_for 200 bash -c "! kill -0 $first 2>/dev/null" || fail "the program did not end"
has_key "$settings_key" || fail "the program made no settings key"
echo "installed program: first start, refused second start, quit-running"

# Installing over a running copy closes it.
(cd "$folder" && exec wine ./tern-clipboard.exe >"$base/program2.log" 2>&1) &
again=$!
pids+=($again)
# Its language is chosen now or not: whichever dialog it shows tells that it runs.
wait_for 600 xdotool search --onlyvisible --pid "$again" || fail "the program did not start again"
wine "$installer" /S || fail "the second install failed"
wait_for 100 bash -c "! kill -0 $again 2>/dev/null" ||
    fail "the installer left the running copy running"
echo "a reinstall closes the running copy"

# The uninstaller runs from a copy of itself and returns at once: its work is awaited.
wine "$folder/uninstall.exe" /S || fail "the silent uninstall failed"
wait_for 300 bash -c "[ ! -e \"$folder\" ]" || fail "files left after uninstalling: $(ls -R "$folder")"
[ ! -e "$menu_entry" ] || fail "the Start menu entry is left"
has_key "$uninstall_key" && fail "the uninstall entry is left"
has_key "$settings_key" || fail "the uninstaller removed the settings"
echo "uninstalled: files, shortcut and entry gone, settings kept"
echo "windows installer: ok"
