#!/usr/bin/env bash
# `tern digest`, `tern container` and `tern snapshot` over files in a temporary home.
set -euo pipefail
tern=$(realpath "$1")
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
cd "$home"

fail() { echo "FAIL: $*" >&2; exit 1; }
expect_eq() { [ "$1" = "$2" ] || fail "expected '$2', got '$1' ($3)"; }
# Runs the tool expecting exit status $1 and the error text $2 on stderr.
expect_failure() {
    local status=$1 text=$2; shift 2
    set +e
    "$tern" "$@" >out.bin 2>err.txt
    local got=$?
    set -e
    expect_eq "$got" "$status" "exit status of $*"
    grep -qF -- "$text" err.txt || fail "stderr of $* lacks '$text': $(cat err.txt)"
}

# digest: MD5 of the Windows-1252 bytes, one line feed dropped.
expect_eq "$(printf 'abc\n' | "$tern" digest)" "900150983cd24fb0d6963f7d28e17f72" "digest drops one line feed"
expect_eq "$(printf '' | "$tern" digest)" "d41d8cd98f00b204e9800998ecf8427e" "digest of nothing"
expect_eq "$(printf 'caf\xc3\xa9' | "$tern" digest)" "961f50f6282239d09e48f812c1ca7276" "Windows-1252 bytes"
expect_eq "$(printf 'abc\n\n' | "$tern" digest)" "$(printf 'abc\n' | md5sum | cut -c1-32)" "only one line feed dropped"
value=$(printf 'container password' | "$tern" digest)

# container: round trips, both levels, with and without a cipher.
head -c 200000 /dev/urandom >random.bin
{ yes 'a line of text that repeats' || true; } | head -c 1500000 >text.bin
for input in random.bin text.bin; do
    for level in 0 2; do
        for password in "$value" ""; do
            "$tern" container pack --password-value "$password" --level $level <$input >packed.bin
            expect_eq "$(head -c 4 packed.bin)" "AACS" "magic"
            "$tern" container unpack --password-value "$password" <packed.bin | cmp -s - $input ||
                fail "round trip of $input at level $level"
        done
    done
done
"$tern" container pack --password-value "$value" <text.bin >a.bin
"$tern" container pack --password-value "$value" <text.bin >b.bin
cmp -s a.bin b.bin || fail "same data and password value gave different containers"
expect_failure 1 "TECLStream.LoadHeaders - invalid password." container unpack --password-value "$(printf x | "$tern" digest)" <a.bin
expect_failure 1 "TECLStream.LoadHeaders - no password specified." container unpack --password-value "" <a.bin
expect_failure 2 "--level must be 0 or 2" container pack --level 5 <text.bin

# A container of a few hundred kilobytes that claims 1,025 MiB of zeros is refused from its headers;
# a snapshot of more than 1,024 records before any record is read.
python3 - <<'PY'
import struct, zlib
block = zlib.compress(bytes(1 << 20), 5)
header = bytearray(128)
header[0:4] = b"AACS"
struct.pack_into("<IIII", header, 4, 1 << 20, 0, 1025, 0x40400000)
header[20] = 2
body = bytearray()
for index in range(1025):
    at = 128 + len(body)
    body += struct.pack("<IIII", len(block), 1 << 20, 0, at + 16 + len(block)) + block
open("huge.bin", "wb").write(bytes(header) + bytes(body))
open("many.bin", "wb").write(struct.pack("<i", 1025) + b"\x01\x01\x00\x00\x00\x00\x00\x00\x00" * 1025)
PY
expect_failure 1 "TECLStream.LoadHeaders - data too long." container unpack --password-value "" <huge.bin
expect_failure 1 "too many records" snapshot unpack --password-value "" --out many many.bin

# Without the option the stored Password is used.
"$tern" config set Password "$value"
"$tern" container unpack <a.bin | cmp -s - text.bin || fail "stored Password not used"

# snapshot: pack, list, unpack.
printf 'h\0i\0\0\0' >text13.bin
printf '<p>an HTML fragment of some length</p>' >html.bin
"$tern" snapshot pack --password-value "$value" 13=text13.bin 0xC001=html.bin >snap.bin
listing=$("$tern" snapshot list --password-value "$value" snap.bin)
expect_eq "$(echo "$listing" | cut -d' ' -f1,2,4)" "$(printf '0 13 6\n1 49153 38')" "listing"
expect_eq "$(echo "$listing" | head -1 | cut -d' ' -f3)" "$(( $(wc -c <snap.bin) - 4 - 9 - 9 - $(echo "$listing" | tail -1 | cut -d' ' -f3) ))" "storage bytes"
"$tern" snapshot unpack --out unpacked - <snap.bin
cmp -s unpacked/0-13.bin text13.bin || fail "unpacked text"
cmp -s unpacked/1-49153.bin html.bin || fail "unpacked html"
head -c 40 snap.bin >cut.bin
expect_failure 1 "Stream read error" snapshot list cut.bin
expect_failure 1 "TECLStream.LoadHeaders - no password specified." snapshot list --password-value "" snap.bin
expect_failure 1 "TECLStream.LoadHeaders - invalid password." snapshot list --password-value "$(printf y | "$tern" digest)" snap.bin
expect_failure 2 "expected FORMAT=FILE" snapshot pack nonsense
expect_failure 1 "Cannot open file" snapshot list missing.bin
echo "payload commands: ok"
