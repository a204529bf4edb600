#!/usr/bin/env bash
# `tern container pack` writes the same bytes on every system for the same input and password value:
# the containers of a fixed input match digests taken from the Linux tool, and unpack back. The input
# spans three blocks and holds every byte value, line feeds, carriage returns and Ctrl+Z included.
set -euo pipefail
tern=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() { echo "FAIL: $*" >&2; exit 1; }

python3 - <<'PY'
# A fixed pseudo-random sequence over a small alphabet (compressible) with runs of every byte value.
state = 12345
out = bytearray()
while len(out) < 2_500_000:
    state = (state * 1103515245 + 12345) & 0x7FFFFFFF
    alphabet = b"\n\r\x1a\x00 abcdefgh"
    out.append(alphabet[(state >> 17) % len(alphabet)] if state & 0x10000 else state >> 8 & 0xFF)
open("input.bin", "wb").write(bytes(out))
PY
value=$(printf 'container password' | "$tern" digest)
[ "$value" = "a330a62b906d5bb17feea0f454f9d2d6" ] || fail "digest of the password gave $value"

# level, password value, SHA-256 of the container
while read -r level password expected; do
    [ "$password" = "-" ] && password=""
    "$tern" container pack --password-value "$password" --level "$level" <input.bin >packed.bin
    digest=$(sha256sum packed.bin | cut -d' ' -f1)
    [ "$digest" = "$expected" ] || fail "level $level, password '$password': container $digest, expected $expected"
    "$tern" container unpack --password-value "$password" <packed.bin | cmp -s - input.bin ||
        fail "level $level, password '$password': unpacked data differ"
done <<TABLE
2 $value 2c3bcfdd4e620360721ec9f133f5a0b84e08449b21c15e8087ce6235b6bfa5a3
0 $value 4418864521785cac0d47357f1e9f7e71b2554c90cead4eb0b6e24661910615cc
2 - 4deae9f3ce55c237496fdd824098b79429036fa5f03c2003bf7b32e114e96fa5
TABLE
echo "container bytes: ok"
