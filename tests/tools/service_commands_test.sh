#!/usr/bin/env bash
# The service commands of `tern` against a real tern-server on a free loopback port: register, login,
# copy and paste of every format, shares of text and pictures with their pages, history, update check.
set -euo pipefail
tern=$1
server=$2
home=$(mktemp -d)
server_pid=
cleanup() {
    if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
    rm -rf "$home"
}
trap cleanup EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
cd "$home"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_eq() { [ "$1" = "$2" ] || fail "expected '$2', got '$1' ($3)"; }

# The update message holds an escape sequence that would clear a terminal.
"$server" --listen 127.0.0.1:0 --data "$home/server" --latest-build 9999 \
    --latest-message $'Build 9999\\n\e[2Jwith fixes' >"$home/server.log" 2>&1 &
server_pid=$!
base=
for _ in $(seq 1 100); do
    base=$(sed -n 's/^tern-server listening on \(http:[^ ]*\).*/\1/p' "$home/server.log" | head -n 1)
    [ -n "$base" ] && break
    kill -0 "$server_pid" 2>/dev/null || fail "tern-server ended: $(cat "$home/server.log")"
    sleep 0.1
done
[ -n "$base" ] || fail "tern-server did not start"
"$tern" config set ServiceHost "$base"

# Nothing stored yet: the storage commands refuse before any request.
if "$tern" paste 2>/dev/null; then fail "paste without an account"; fi

email='a_b+c&d#e@example.org'
printf 'secret\n' | "$tern" register "$email" >/dev/null
printf 'short\n' | "$tern" register "x$email" >/dev/null 2>short.err && fail "a 5-character password was accepted"
grep -q 'at least 6 characters' short.err || fail "the short password's text: $(cat short.err)"
if printf 'wrong1\n' | "$tern" login "$email" >/dev/null 2>&1; then fail "a wrong password was accepted"; fi
printf 'secret\n' | "$tern" login "$email" >/dev/null
expect_eq "$("$tern" config get Login)" "$email" "stored e-mail"
expect_eq "$("$tern" config get Password)" "$(printf 'secret' | "$tern" digest)" "stored password value"

# Text and raw formats come back byte for byte.
printf 'h\xc3\xa9llo\nw\xf0\x9f\x98\x80rld' >text.txt
head -c 40000 /dev/urandom >raw.bin
printf '' >empty.bin
copied=$("$tern" copy text.txt --format 49161=raw.bin --format 7=empty.bin)
case $copied in *'"tern paste"'*) ;; *) fail "copy reports: $copied" ;; esac
"$tern" paste >pasted.txt
cmp text.txt pasted.txt || fail "pasted text differs"
"$tern" paste --out out
cmp raw.bin out/1-49161.bin || fail "raw format differs"
[ -f out/2-7.bin ] && [ ! -s out/2-7.bin ] || fail "empty format missing"
[ -f out/0-13.bin ] || fail "text format missing"

# A format over 5,000,000 bytes is skipped as the desktop program skips it; the rest travels.
head -c 5000001 /dev/zero >big.bin
"$tern" copy text.txt --format 49162=big.bin >/dev/null 2>copy.err
grep -q 'Format 49162 skipped' copy.err || fail "no note of the skipped format: $(cat copy.err)"
"$tern" paste --out out2
[ ! -e out2/1-49162.bin ] || fail "an oversized format was stored"
cmp text.txt <("$tern" paste) || fail "text beside a skipped format differs"
# The service refuses a snapshot that no client could restore, stored by any other means.
"$tern" snapshot pack 49162=big.bin >big.snap
password_value=$("$tern" config get Password)
encoded_email=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$email")
reply=$(curl -s --noproxy '*' -F "data=@big.snap;filename=clpdata.gif" \
    "$base/storage/save.html?email=$encoded_email&pass=$password_value")
case $reply in *toolarge*) ;; *) fail "oversized snapshot stored: $reply" ;; esac
cmp text.txt <("$tern" paste) || fail "the refused snapshot replaced the stored one"

# Text share: the page holds the text, escaped.
printf '<b>shared & text</b>' >share.txt
link=$("$tern" share share.txt)
case $link in "$base"/d/*.html) ;; *) fail "unexpected link $link" ;; esac
page=$(curl -s --noproxy '*' "$link")
case $page in *'&lt;b&gt;shared &amp; text&lt;/b&gt;'*) ;; *) fail "text page lacks the text" ;; esac

# Picture shares: PNG, JPEG and BMP files are converted as a clipboard picture is.
convert=/usr/bin/convert
if [ -x "$convert" ]; then
    "$convert" -size 64x48 gradient:red-blue pic.png
    "$convert" pic.png pic.jpg
    "$convert" pic.png -type truecolor BMP3:pic.bmp
    for picture in pic.png pic.jpg pic.bmp; do
        link=$("$tern" share "$picture")
        page=$(curl -s --noproxy '*' "$link")
        case $page in *'<img src="/d/'*) ;; *) fail "picture page of $picture lacks its image" ;; esac
    done
    # A picture file larger than the share limit is shared when its converted share fits.
    "$convert" -size 1500x1200 gradient:red-blue -type truecolor BMP3:big.bmp
    [ "$(stat -c %s big.bmp)" -gt 5000000 ] || fail "the test picture is too small"
    "$tern" share big.bmp >/dev/null 2>share.err || fail "a fitting picture was refused: $(cat share.err)"
fi
# Text over the limit is refused with the limit, before anything is sent.
head -c 5000001 /dev/zero | tr '\0' 'a' >big.txt
if "$tern" share big.txt >/dev/null 2>share.err; then fail "oversized text shared"; fi
grep -q 'too large.*5,000,000 bytes' share.err || fail "oversized text reported as: $(cat share.err)"

history=$(curl -s --noproxy '*' "$("$tern" history-url)")
case $history in *"${link#"$base"}"*) ;; *) fail "history lacks the last share" ;; esac

update=$("$tern" check-update)
expect_eq "$update" "a newer version is available
Build 9999
[2Jwith fixes" "update check, without control characters"

# A service that is gone: no answer, and the commands fail without losing settings.
kill "$server_pid"; wait "$server_pid" 2>/dev/null || true; server_pid=
if "$tern" check-update >/dev/null 2>update.err; then fail "check-update without a service"; fi
case $(cat update.err) in *"no answer from $base: "*) ;; *) fail "update check without a service said: $(cat update.err)" ;; esac
if "$tern" paste 2>/dev/null; then fail "paste without a service"; fi
# Each says what went wrong and where, with exit code 1; never that the password is wrong, and never
# the password value.
for command in login paste check-update; do
    status=0
    said=$(printf 'secret\n' | "$tern" $command $([ $command = login ] && echo "$email") 2>&1 >/dev/null) || status=$?
    expect_eq "$status" 1 "exit code of $command without a service"
    case $said in *"(NoConnection): $base/"*) ;; *) fail "$command without a service said: $said" ;; esac
    case $said in *wrong* | *"$password_value"*) fail "$command without a service said: $said" ;; esac
done

# An https service whose certificate no trusted authority signed: the certificate is named.
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=127.0.0.1" -addext "subjectAltName=IP:127.0.0.1" \
    -keyout "$home/self.key" -out "$home/self.pem" 2>/dev/null
tls_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
openssl s_server -quiet -accept "127.0.0.1:$tls_port" -cert "$home/self.pem" -key "$home/self.key" -www \
    </dev/null >/dev/null 2>&1 &
server_pid=$!
for _ in $(seq 1 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$tls_port") 2>/dev/null && break
    sleep 0.1
done
"$tern" config set ServiceHost "https://127.0.0.1:$tls_port"
said=$("$tern" check-update 2>&1 >/dev/null) && fail "an untrusted certificate was accepted"
case $said in *"(CertificateRefused): https://127.0.0.1:$tls_port/"*) ;; *) fail "untrusted certificate: $said" ;; esac
expect_eq "$("$tern" config get Login)" "$email" "login kept"
echo "service commands: ok"
