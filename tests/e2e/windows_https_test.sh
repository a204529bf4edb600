#!/usr/bin/env bash
# The Windows tool over https under Wine, against the deployment of scripts/deployment.sh (nginx with
# TLS in front of two tern-server instances): WinHTTP accepts the service's certificate only when
# CaFile names its authority (the system's store, Wine's, lacks it), refuses it for another authority
# or a missing file without sending the request (nginx logs no request but the harmless "HEAD /" that
# asks for the certificate), and every service command works over https once it is accepted. The
# address names the host "localhost", which the certificate names too: Wine's certificate check
# matches host names only, not the certificate's IP address.
#   windows_https_test.sh LINUX_BUILD_DIR WINDOWS_BIN
set -euo pipefail
windows_bin=$(cd "$2" && pwd)
source "$(dirname "$0")/../deployment/deployment_lib.sh"
command -v wine >/dev/null || fail "Wine is not installed"
deployment_up

export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot --init >/dev/null 2>&1 || fail "Wine prefix"
wineserver --wait
trap 'wineserver --kill 2>/dev/null || true; deployment_cleanup' EXIT
win_tern() { wine "$windows_bin/tern.exe" "$@" 2>>"$work/wine.log"; }
windows_path() { winepath -w "$1" 2>/dev/null; }
requests() { grep -vc '"HEAD / ' "$deploy/nginx/access.log" 2>/dev/null || true; }

url=${url/127.0.0.1/localhost}
win_tern config set ServiceHost "$url" >/dev/null || fail "settings under Wine"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=localhost" \
    -addext "subjectAltName=DNS:localhost" -keyout "$work/other.key" -out "$work/other.pem" 2>/dev/null
for case in ":refused" "$work/other.pem:refused" "$work/missing.pem:refused" "$ca:accepted"; do
    file=${case%:*}
    win_tern config set CaFile "${file:+$(windows_path "$file")}" >/dev/null
    before=$(requests)
    if win_tern check-update >/dev/null; then outcome=accepted; else outcome=refused; fi
    [ "$outcome" = "${case##*:}" ] || fail "the service's certificate with CaFile '$file': $outcome"
    if [ "$outcome" = refused ] && [ "$(requests)" != "$before" ]; then
        fail "a refused peer was sent the request (CaFile '$file'): $(tail -n 1 "$deploy/nginx/access.log")"
    fi
done
echo "certificates: only the deployment's authority, and only when named"

printf 'secret\n' | win_tern register win@example.org >/dev/null || fail "register over https"
printf 'secret\n' | win_tern login win@example.org >/dev/null || fail "login over https"
printf 'over https from Windows\n' >"$work/win.txt"
win_tern copy "$(windows_path "$work/win.txt")" >/dev/null || fail "copy over https"
win_tern paste >"$work/pasted.txt" || fail "paste over https"
cmp -s "$work/win.txt" "$work/pasted.txt" || fail "pasted text differs: $(cat "$work/pasted.txt")"
link=$(win_tern share "$(windows_path "$work/win.txt")" | tr -d '\r') || fail "share over https"
case $link in "$url"/d/*.html) ;; *) fail "unexpected link $link" ;; esac
curl -sf --cacert "$ca" "$link" | grep -q 'over https from Windows' || fail "the share page lacks the text"
echo "windows https: ok"
