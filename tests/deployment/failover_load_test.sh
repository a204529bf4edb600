#!/usr/bin/env bash
# The client through nginx over https against two tern-server instances: certificates are checked,
# every service command works, per-address limits count the client's address behind the proxy, and
# under a bounded load (16 clients for 20 seconds on loopback) one instance is killed. Only requests
# in flight at that moment may fail, and only uploads (a read is passed on to the other instance);
# afterwards no stored snapshot or share is lost or torn.
#   failover_load_test.sh BUILD_DIR
set -euo pipefail
source "$(dirname "$0")/deployment_lib.sh"
deployment_up

clients=16
seconds=20
kill_after=10

expect_eq() { [ "$1" = "$2" ] || fail "expected '$2', got '$1' ($3)"; }
# The status word of a JSON reply.
status_of() { python3 -c 'import json, sys; print(json.load(sys.stdin).get("status", ""))'; }
now_ns() { date +%s%N; }

# --- Certificates: only the deployment's own authority is trusted, and only when named.
use_home ann
"$tern" config set ServiceHost "$url"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=127.0.0.1" \
    -addext "subjectAltName=IP:127.0.0.1" -keyout "$work/other.key" -out "$work/other.pem" 2>/dev/null
for case in ":refused" "$work/other.pem:refused" "$work/missing.pem:refused" "$ca:accepted"; do
    "$tern" config set CaFile "${case%:*}"
    if "$tern" check-update >/dev/null 2>&1; then outcome=accepted; else outcome=refused; fi
    expect_eq "$outcome" "${case##*:}" "the service's certificate with CaFile '${case%:*}'"
done

# --- Every service command of the client, through nginx to either instance.
printf 'secret\n' | "$tern" register ann@example.org >/dev/null
printf 'secret\n' | "$tern" login ann@example.org >/dev/null
printf 'over https\n' >"$work/ann.txt"
"$tern" copy "$work/ann.txt" >/dev/null
cmp "$work/ann.txt" <("$tern" paste) || fail "pasted text differs"
link=$("$tern" share "$work/ann.txt")
case $link in "$url"/d/*.html) ;; *) fail "unexpected link $link" ;; esac
curl -sf --cacert "$ca" "$link" | grep -q 'over https' || fail "the share page lacks the text"
curl -sf --cacert "$ca" "$("$tern" history-url)" | grep -q "${link#"$url"}" || fail "history lacks the share"

# --- Per-address limits see the client's own address, whatever it claims in X-Forwarded-For.
# An account's registration from loopback address $1 (curl binds it as the source); prints the status.
register_from() {
    curl -s --cacert "$ca" --interface "$1" -H "X-Forwarded-For: ${3:-$1}" \
        --data-urlencode "email=$2" --data "pass=$(printf 'secret' | "$tern" digest)" \
        "$url/index.php/auth/register" | status_of
}
# Five registrations an hour per address, counted in the database that both instances share: the
# sixth is refused even when it claims another address, while another address may still register.
for n in 1 2 3 4 5; do expect_eq "$(register_from 127.0.0.2 "limit$n@example.org")" ok "registration $n"; done
expect_eq "$(register_from 127.0.0.2 limit6@example.org 127.0.0.99)" error "sixth registration from one address"
expect_eq "$(register_from 127.0.0.3 limit6@example.org)" ok "registration from another address"

# --- Load: each client has its own account and repeats copy, paste, share and a look at its share.
for i in $(seq 1 "$clients"); do
    expect_eq "$(register_from "127.0.1.$i" "client$i@example.org")" ok "registration of client $i"
    use_home "client$i"
    "$tern" config set ServiceHost "$url"
    "$tern" config set CaFile "$ca"
    "$tern" config set Login "client$i@example.org"
    "$tern" config set Password "$(printf 'secret' | "$tern" digest)"
done

# One line per request: operation, iteration, start and end (ns), exit status, and the share's link.
run_client() {
    local i=$1 deadline=$2 j=0 start status out link
    use_home "client$i"
    local log=$work/client-$i.log
    while [ "$(now_ns)" -lt "$deadline" ]; do
        j=$((j + 1))
        local item=$work/c$i-$j.txt
        { echo "client $i item $j"; head -c 6000 /dev/urandom | base64; } >"$item"
        link=
        for op in copy paste share page; do
            start=$(now_ns)
            status=0
            out=
            local errors=$work/e$i-$j-$op.txt
            case $op in
            copy) "$tern" copy "$item" >/dev/null 2>"$errors" || status=$? ;;
            paste) "$tern" paste >"$work/p$i-$j.txt" 2>"$errors" || status=$? ;;
            share) link=$("$tern" share "$item" 2>"$errors") || status=$? ;;
            page)
                [ -n "$link" ] || continue
                curl -sS --fail-with-body --cacert "$ca" -o /dev/null "$link" 2>"$errors" || status=$?
                ;;
            esac
            [ "$op" != share ] || out=$link
            echo "$op $j $start $(now_ns) $status $out" >>"$log"
        done
    done
}

begin=$(now_ns)
deadline=$((begin + seconds * 1000000000))
pids=()
for i in $(seq 1 "$clients"); do
    run_client "$i" "$deadline" &
    pids+=($!)
done
sleep "$kill_after"
# The moment of the kill as a window: the shell may be held up between reading the clock and killing.
kill_from=$(now_ns)
kill -KILL "$(cat "$deploy/server-1.pid")"
kill_to=$(now_ns)
for pid in "${pids[@]}"; do wait "$pid"; done

# --- After the run, through the instance that is left: every request but those in flight at the
# kill succeeded; every paste gave back a snapshot the client had stored; the stored snapshot is the
# last one stored; every share holds exactly what was shared.
python3 - "$work" "$clients" "$kill_from" "$kill_to" <<'EOF' || fail "the requests of the load run (see above)"
import sys
work, clients, kill_from, kill_to = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
total = failed = 0
problems = []
for i in range(1, clients + 1):
    stored = None       # the item of the last copy that succeeded
    uncertain = set()   # items of copies that failed in flight: stored or not
    for line in open(f"{work}/client-{i}.log"):
        op, j, start, end, status, *link = line.split()
        start, end, status = int(start), int(end), int(status)
        total += 1
        said = open(f"{work}/e{i}-{j}-{op}.txt", errors="replace").read().strip() if status else ""
        # Before any copy has been stored (the first ones failed at the kill) there is nothing to paste.
        if op == "paste" and status != 0 and stored is None and said.startswith("Nothing is stored"):
            continue
        if status != 0:
            failed += 1
            if not (start < kill_to and end > kill_from):
                problems.append(f"client {i}: {op} {j} failed though not in flight at the kill: {said}")
            # nginx passes a read that the killed instance had been given on to the other one.
            elif op in ("paste", "page"):
                problems.append(f"client {i}: {op} {j} failed, though a read is safe to repeat: {said}")
            if op == "copy":
                uncertain.add(j)
            continue
        if op == "copy":
            stored, uncertain = j, set()
        elif op == "paste":
            pasted = open(f"{work}/p{i}-{j}.txt", "rb").read()
            allowed = [open(f"{work}/c{i}-{k}.txt", "rb").read() for k in ({stored} | uncertain) - {None}]
            if pasted not in allowed:
                problems.append(f"client {i}: paste {j} gave a snapshot the client never stored")
    # What the service may hold for the client now: the last copy stored, or one that failed in flight
    # after it; nothing at all only when no copy was ever confirmed.
    with open(f"{work}/allowed-{i}.txt", "w") as f:
        f.write(" ".join(sorted(({stored} | uncertain) - {None})))
    with open(f"{work}/confirmed-{i}.txt", "w") as f:
        f.write(stored or "")
print(f"load: {total} requests by {clients} clients, {failed} failed while in flight at the kill")
if total < clients * 4:
    problems.append("fewer requests than one round per client")
for problem in problems:
    print("FAIL:", problem)
sys.exit(1 if problems else 0)
EOF

for i in $(seq 1 "$clients"); do
    use_home "client$i"
    if "$tern" paste >"$work/final-$i.txt" 2>/dev/null; then
        match=
        for j in $(cat "$work/allowed-$i.txt"); do cmp -s "$work/final-$i.txt" "$work/c$i-$j.txt" && match=$j; done
        [ -n "$match" ] || fail "client $i: the stored snapshot is not the last one stored"
    else
        [ ! -s "$work/confirmed-$i.txt" ] || fail "client $i: the snapshot stored last is lost"
    fi
    history=$(curl -sf --cacert "$ca" "$("$tern" history-url)")
    while read -r op j _ _ status link; do
        [ "$op" = share ] && [ "$status" = 0 ] || continue
        raw=${link%.html}.txt
        curl -sf --cacert "$ca" "$raw" | cmp -s - "$work/c$i-$j.txt" || fail "client $i: share $j is not what was shared"
        case $history in *"${link#"$url"}"*) ;; *) fail "client $i: history lacks share $j" ;; esac
    done <"$work/client-$i.log"
done
echo "failover under load: ok"
