#!/usr/bin/env bash
# The deployment's hardening first: only nginx reaches the instances (Unix sockets in a folder
# nobody else may enter), TLS 1.2 only with forward secrecy, HSTS, and a database that no local user
# can read without the service's password, whose role is no superuser. Then floods from one address
# against a standalone tern-server and against the whole deployment, one
# after the other: slowhttptest's slow headers (-H), slow bodies (-B) and slow reads (-X) with 500
# connections each, 300 connections that declare a 5,000,000-byte upload and send one byte, and
# 2,000 connections that send nothing, every one reopened as soon as the service ends it. Meanwhile a
# normal client at another address signs in and reads its snapshot ten times, a second apart: at
# least nine must succeed. Each flood lasts 14 seconds; the whole test about three minutes.
#   flood_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/deployment_lib.sh"
require slowhttptest

flood_seconds=14
attacker=127.0.0.1
client=127.0.0.2
email=probe@example.org
password_value=$(printf 'secret' | "$tern" digest)
flood=$source_dir/tests/deployment/flood.py
# The floods hold a few thousand sockets.
ulimit -n 16384 2>/dev/null || ulimit -n "$(ulimit -Hn)"

deployment_up

# --- Hardening.
! grep -q '^tern-server listening on http' "$deploy"/server-*.log || fail "an instance listens on TCP"
if [ "$(id -u)" -eq 0 ]; then
    for socket in "$deploy"/sockets/server-*.sock; do
        ! runuser -u nobody -- curl -s --max-time 5 --unix-socket "$socket" http://instance/ >/dev/null 2>&1 ||
            fail "the user nobody reaches $socket"
    done
fi
address=${url#https://}
for cipher in AES128-SHA AES256-SHA AES128-GCM-SHA256 AES256-GCM-SHA384 ECDHE-RSA-AES128-GCM-SHA256; do
    if openssl s_client -connect "$address" -tls1_2 -cipher "$cipher" </dev/null >/dev/null 2>&1; then
        outcome=accepted
    else
        outcome=refused
    fi
    case $cipher in ECDHE-*) expected=accepted ;; *) expected=refused ;; esac
    [ "$outcome" = "$expected" ] || fail "TLS 1.2 with $cipher: $outcome"
done
curl -sI --cacert "$ca" "$url/" | grep -qi '^strict-transport-security: max-age=' || fail "no HSTS header"
database=$(cat "$deploy/database-url")
if [ "$(id -u)" -eq 0 ]; then
    ! runuser -u nobody -- psql "$database" -c 'SELECT 1' </dev/null >/dev/null 2>&1 ||
        fail "the user nobody reads the database"
    superuser_url=$(sed 's|//tern_service@|//tern-pg@|; s|/tern$|/postgres|' <<<"$database")
    ! runuser -u nobody -- psql "$superuser_url" -c 'SELECT 1' </dev/null >/dev/null 2>&1 ||
        fail "the user nobody logs in as the superuser"
fi
# A thousand POSTs at once from one address: no more get through than the burst and the rate allow.
start=$(date +%s%N)
codes=$(curl -s -Z --parallel-max 64 --cacert "$ca" -o /dev/null -w '%{http_code}\n' -d 'email=x' \
    "$url/index.php/auth/validate?n=[1-1000]")
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
passed=$(grep -c '^200$' <<<"$codes" || true)
[ "$passed" -le $((220 + elapsed_ms / 10)) ] || fail "$passed of 1000 POSTs in $elapsed_ms ms got through"
echo "posts: $passed of 1000 got through in $elapsed_ms ms, $(grep -c '^429$' <<<"$codes" || true) refused"
role=$(PGPASSFILE=$deploy/postgres/pgpass psql "$database" -tAc \
    "SELECT rolsuper, (SELECT tableowner FROM pg_tables WHERE tablename = 'accounts') FROM pg_roles
     WHERE rolname = current_user")
[ "$role" = "f|tern_service" ] || fail "the service's role (superuser, owner of accounts): $role"

# Runs every flood against $1 (its base address); $2 is the certificate authority for https.
flood_all() {
    local url=$1 ca=${2:-} ca_option=() slow_ca=()
    [ -z "$ca" ] || ca_option=(--ca "$ca")
    python3 "$flood" prepare "$url" "${ca_option[@]}" --source "$client" --email "$email" \
        --password-value "$password_value"
    # slowhttptest checks no certificate; what it sends is the same either way.
    local floods=(
        "slow headers|slowhttptest -c 500 -H -i 5 -r 200 -t GET -u $url/ -l $flood_seconds -p 3"
        "slow bodies|slowhttptest -c 500 -B -i 5 -r 200 -s 8192 -t POST -u $url/storage/save.html -l $flood_seconds -p 3"
        "slow reads|slowhttptest -c 500 -X -r 200 -w 16 -y 32 -n 5 -z 16 -k 3 -u $url/help/ -l $flood_seconds -p 3"
        "body reservations|python3 $flood reserve $url ${ca_option[*]} --connections 300 --seconds $flood_seconds"
        "idle connections|python3 $flood connections $url ${ca_option[*]} --connections 2000 --seconds $flood_seconds"
    )
    local entry name command pid result
    for entry in "${floods[@]}"; do
        name=${entry%%|*}
        command=${entry#*|}
        # shellcheck disable=SC2086 # the command is split into its words on purpose
        $command >"$work/flood.log" 2>&1 &
        pid=$!
        # Let the flood take hold before the first request.
        sleep 2
        result=$(python3 "$flood" probe "$url" "${ca_option[@]}" --source "$client" --email "$email" \
            --password-value "$password_value" --times 10 --interval 1)
        wait "$pid" || true
        echo "$url, $name: $(tail -n 1 <<<"$result")"
        local succeeded
        succeeded=$(sed -n 's/^probe: \([0-9]*\) of 10$/\1/p' <<<"$result")
        [ "${succeeded:-0}" -ge 9 ] || {
            echo "$result" >&2
            tail -n 5 "$work/flood.log" >&2
            fail "$name against $url: a normal client got through ${succeeded:-0} times of 10"
        }
    done
}

# The standalone service: one tern-server on SQLite, its defaults untouched.
mkdir -p "$work/standalone"
"$build/bin/tern-server" --listen 127.0.0.1:0 --data "$work/standalone/data" >"$work/standalone/out" \
    2>/dev/null &
standalone=$!
trap 'status=$?; kill "$standalone" 2>/dev/null || true; (exit "$status"); deployment_cleanup' EXIT
standalone_url=
for _ in $(seq 1 100); do
    standalone_url=$(sed -n 's/^tern-server listening on \(http:.*\)$/\1/p' "$work/standalone/out")
    [ -n "$standalone_url" ] && break
    sleep 0.1
done
[ -n "$standalone_url" ] || fail "the standalone tern-server did not start"

flood_all "$standalone_url"
kill "$standalone"
flood_all "$url" "$ca"
echo "floods: ok"
