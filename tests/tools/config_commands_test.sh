#!/usr/bin/env bash
# `tern config` and `tern text` over a fresh settings file in a temporary home.
set -euo pipefail
tern=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
settings="$XDG_CONFIG_HOME/Quarrow Labs/Tern Clipboard.ini"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_eq() { [ "$1" = "$2" ] || fail "expected '$2', got '$1' ($3)"; }

expected_defaults='Login=
Password=
MainKey=24665
CheckDate=0
CheckUpdates=1
DisableRemote=0
CurColor=0
CurFont=1
CurLine=1
CurrentLanguage=english.lng
IsLangModified=1
StartWithWindows=0
ServiceHost=http://127.0.0.1:8077
DownloadHost=http://127.0.0.1:8077
CaFile=
EndToEndKey='
expect_eq "$("$tern" config list)" "$expected_defaults" "defaults"

# Reading does not write the settings back.
[ ! -s "$settings" ] || fail "config list wrote settings"

"$tern" config set MainKey 90000
expect_eq "$("$tern" config get MainKey)" "24464" "low 16 bits"
"$tern" config set Login "ann+clip@example.org"
expect_eq "$("$tern" config get Login)" "ann+clip@example.org" "text setting"
"$tern" config set CheckUpdates maybe
expect_eq "$("$tern" config get CheckUpdates)" "1" "unreadable boolean gives the default"
expect_eq "$(stat -c %a "$settings")" "600" "settings readable by the owner only"
grep -qx 'MainKey=24464' "$settings" || fail "MainKey not stored as text"

# A host that is no web address is refused with the reason, and the stored one stays.
if "$tern" config set ServiceHost notaurl 2>"$home/host.err"; then fail "ServiceHost notaurl accepted"; fi
grep -q 'http://' "$home/host.err" || fail "no reason given: $(cat "$home/host.err")"
expect_eq "$("$tern" config get ServiceHost)" "http://127.0.0.1:8077" "refused host not stored"

"$tern" config set StartWithWindows 1
entry="$XDG_CONFIG_HOME/autostart/Tern Clipboard.desktop"
grep -qx "Exec=\"$(dirname "$tern")/tern-clipboard\"" "$entry" || fail "the autostart entry does not start the program"
grep -qx 'Icon=com.quarrowlabs.TernClipboard' "$entry" || fail "the autostart entry names no icon"
"$tern" config set StartWithWindows 0
[ ! -e "$entry" ] || fail "autostart entry not removed"

expect_eq "$("$tern" text GLOBAL bOk)" "OK" "text lookup"
expect_eq "$("$tern" text global .FAUTHFORM.lCaption)" "$("$tern" text FAUTHFORM lCaption)" "key syntax"
expect_eq "$("$tern" text GLOBAL noSuchKey)" "no-value" "missing text"

# The user's own language files overlay the shipped ones of the same name.
mkdir -p "$XDG_DATA_HOME/tern-clipboard/Languages"
printf '[GLOBAL]\r\nbOk=Fine\r\n' >"$XDG_DATA_HOME/tern-clipboard/Languages/english.lng"
expect_eq "$("$tern" text GLOBAL bOk)" "Fine" "the user's file wins"
expect_eq "$("$tern" text GLOBAL bCancel)" "no-value" "the user's file replaces the shipped one whole"
rm -r "$XDG_DATA_HOME/tern-clipboard"

set +e
"$tern" config get NoSuchKey 2>/dev/null; status=$?
set -e
expect_eq "$status" "2" "unknown setting is a usage error"
set +e
"$tern" frobnicate 2>/dev/null; status=$?
set -e
expect_eq "$status" "2" "unknown command"
"$tern" --help | grep -q "config list" || fail "help lists commands"

# Every command answers --help with its own usage and success, and does nothing else: no sign-in as
# "--help", no file read, no settings written.
rm -rf "$XDG_CONFIG_HOME"
commands=$("$tern" --help | sed -n 's/^  \([a-z][a-z-]*\) .*/\1/p' | sort -u)
[ "$(echo "$commands" | wc -l)" -ge 13 ] || fail "too few commands in the help: $commands"
for command in $commands; do
    for asks in "--help" "-h"; do
        usage=$("$tern" "$command" "$asks" </dev/null 2>"$home/help.err") || fail "tern $command $asks failed"
        [ ! -s "$home/help.err" ] || fail "tern $command $asks wrote errors: $(cat "$home/help.err")"
        case $usage in "Usage:"*"$command"*) ;; *) fail "tern $command $asks printed: $usage" ;; esac
    done
done
"$tern" login a@example.org --help >/dev/null || fail "--help after an argument"
[ ! -e "$settings" ] || fail "a --help wrote settings"
echo "config commands: ok"
