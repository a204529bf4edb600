#!/usr/bin/env bash
# `tern key` and copy/paste with an end-to-end key against a real tern-server: two computers (two
# homes) with the same key, one without it, one with another key; what the service stores.
set -euo pipefail
tern=$1
server=$2
root=$(mktemp -d)
server_pid=
cleanup() {
    if [ -n "$server_pid" ]; then kill "$server_pid" 2>/dev/null || true; wait "$server_pid" 2>/dev/null || true; fi
    rm -rf "$root"
}
trap cleanup EXIT
cd "$root"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_eq() { [ "$1" = "$2" ] || fail "expected '$2', got '$1' ($3)"; }
# Runs the tool as the user of computer $1.
on() {
    local home=$root/$1
    shift
    HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data "$tern" "$@"
}

"$server" --listen 127.0.0.1:0 --data "$root/server" >"$root/server.log" 2>&1 &
server_pid=$!
base=
for _ in $(seq 1 100); do
    base=$(sed -n 's/^tern-server listening on \(http:[^ ]*\).*/\1/p' "$root/server.log" | head -n 1)
    [ -n "$base" ] && break
    kill -0 "$server_pid" 2>/dev/null || fail "tern-server ended: $(cat "$root/server.log")"
    sleep 0.1
done
[ -n "$base" ] || fail "tern-server did not start"

email=key@example.org
for computer in a b c; do
    on $computer config set ServiceHost "$base"
done
printf 'secret\n' | on a register "$email" >/dev/null
printf 'secret\n' | on b login "$email" >/dev/null
printf 'secret\n' | on c login "$email" >/dev/null

on a key --help | grep -q 'key status' || fail "key --help"
expect_eq "$(on a key status)" "No end-to-end key is set." "status before"
if printf 'short\n' | on a key set >/dev/null 2>&1; then fail "a 5-character key was accepted"; fi
printf 'a long shared phrase\n' | on a key set >/dev/null
printf 'a long shared phrase\r\n' | on b key set >/dev/null
expect_eq "$(on a key status)" "An end-to-end key is set." "status after"

# Same key: the text and a raw format come back byte for byte.
printf 'h\xc3\xa9llo keyed' >text.txt
head -c 30000 /dev/urandom >raw.bin
on a copy text.txt --format 49161=raw.bin >/dev/null
cmp text.txt <(on b paste) || fail "keyed text differs"
on b paste --out out
cmp raw.bin out/1-49161.bin || fail "keyed raw format differs"
[ "$(ls out)" = "$(printf '0-13.bin\n1-49161.bin')" ] || fail "the key record was pasted: $(ls out)"

# The stored bytes do not open with the password value.
password_value=$(on a config get Password)
curl -s --noproxy '*' -o stored.snap "$base/storage/read.html?email=$email&pass=$password_value"
if on a snapshot unpack --password-value "$password_value" --out unpacked stored.snap 2>/dev/null; then
    fail "the password value opened a keyed snapshot"
fi
[ -z "$(ls -A unpacked 2>/dev/null)" ] || fail "records were unpacked: $(ls unpacked)"

# Without the key, or with another key: the text, and the file written before stays as it was.
printf 'another long phrase\n' | on c key set >/dev/null
for computer in c c-without; do
    [ $computer = c-without ] && on c key clear >/dev/null
    if on c paste >pasted 2>err; then fail "pasted on $computer"; fi
    expect_eq "$(cat err)" "This copy was made with an end-to-end key. Set the same key on this computer to paste it." "$computer"
    [ ! -s pasted ] || fail "output on $computer"
done
expect_eq "$(on c key status)" "No end-to-end key is set." "status after clear"

# A copy made without a key pastes where a key is set.
on c copy text.txt >/dev/null
cmp text.txt <(on b paste) || fail "a copy without key did not paste with a key set"
echo "end-to-end key: all checks passed"
