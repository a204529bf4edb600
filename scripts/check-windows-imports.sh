#!/usr/bin/env bash
# Checks which DLLs Windows programs import (objdump's import table), so that a copied program folder
# runs on a Windows machine with nothing else installed:
#   check-windows-imports.sh FOLDER            every .exe and .dll under FOLDER imports only DLLs that
#                                              come with Windows or lie in FOLDER itself (plugins in
#                                              subfolders load after the DLLs beside the program)
#   check-windows-imports.sh --system-only FILE...   each FILE imports DLLs that come with Windows only
# Prints each offending import; the exit status is 1 when there is one.
set -euo pipefail

objdump=x86_64-w64-mingw32-objdump
# DLLs of every Windows 7 and later installation (Wine has them too).
system_dlls='^(kernel32|user32|gdi32|gdiplus|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|uxtheme|dwmapi|imm32|winmm|version|userenv|winhttp|bcrypt|crypt32|ws2_32|msvcrt|ucrtbase|ntdll|netapi32|mpr|authz|setupapi|shcore|wtsapi32|d3d9|d3d11|d3d12|dxgi|dwrite|uiautomationcore|api-ms-win-[a-z0-9-]+)\.dll$'

imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
is_system() { printf '%s\n' "$1" | tr '[:upper:]' '[:lower:]' | grep -Eq "$system_dlls"; }

bad=0
if [ "${1:-}" = --system-only ]; then
    shift
    for program in "$@"; do
        while read -r dll; do
            is_system "$dll" || { echo "$(basename "$program") imports $dll, which does not come with Windows" >&2; bad=1; }
        done < <(imports "$program")
    done
else
    folder=${1:?usage: check-windows-imports.sh FOLDER | --system-only FILE...}
    # Windows looks a name up without regard to case.
    beside=$(find "$folder" -maxdepth 1 -iname '*.dll' -printf '%f\n' | tr '[:upper:]' '[:lower:]')
    while IFS= read -r -d '' module; do
        while read -r dll; do
            is_system "$dll" && continue
            grep -qxF "$(printf '%s' "$dll" | tr '[:upper:]' '[:lower:]')" <<<"$beside" && continue
            echo "${module#"$folder/"} imports $dll, which is neither Windows' nor beside it" >&2
            bad=1
        done < <(imports "$module")
    done < <(find "$folder" \( -iname '*.exe' -o -iname '*.dll' \) -print0)
fi
exit "$bad"
