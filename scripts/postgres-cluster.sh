#!/usr/bin/env bash
# A throw-away PostgreSQL cluster on a free loopback port, for the service's tests and local runs.
#   scripts/postgres-cluster.sh start DIR        starts it; writes DIR/url (the connection address,
#                                                one line), DIR/pgpass and DIR/postgres.pid
#   scripts/postgres-cluster.sh stop DIR         stops it by that PID and removes its files
#   scripts/postgres-cluster.sh run DIR -- CMD   starts it, runs CMD with TERN_TEST_DATABASE_URL set
#                                                to the address, stops it, and exits with CMD's status
# The cluster's files live in a temporary folder named in DIR/cluster. PostgreSQL refuses to run as
# root, so as root the cluster belongs to the system user tern-pg, created when missing. The service
# connects over loopback as the role "tern_service", which owns the database "tern" (and so the
# tables the service creates) but is no superuser, with a generated password checked by
# scram-sha-256; the password lies in DIR/pgpass (mode 0600, owned by whoever ran this script),
# which libpq reads when PGPASSFILE names it ("run" sets that). The superuser, named after the
# cluster's owner, logs in only over the cluster's own socket (peer authentication), which only that
# owner can reach.
set -euo pipefail

usage() {
    sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

pg_bin() {
    local dir
    for dir in /usr/lib/postgresql/*/bin; do
        [ -x "$dir/pg_ctl" ] && { echo "$dir"; return; }
    done
    echo "postgres-cluster: PostgreSQL's server programs are not installed (postgresql)" >&2
    exit 1
}

# Runs a command as the cluster's owner.
as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u tern-pg -- "$@"
    else
        "$@"
    fi
}

ensure_owner() {
    [ "$(id -u)" -eq 0 ] || return 0
    # Several scripts may start clusters at once: one creates the user.
    (
        flock 9
        id -u tern-pg >/dev/null 2>&1 ||
            useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin tern-pg
    ) 9>/tmp/tern-pg-user.lock
}

port_taken() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

# The service's role and database, and the file that holds the role's password. The password goes
# to psql on its standard input, never on a command line.
make_service_role() {
    local bin=$1 cluster=$2 port=$3 superuser=$4 state=$5 password
    password=$(head -c 24 /dev/urandom | od -An -tx1 | tr -d ' \n')
    (
        umask 077
        echo "127.0.0.1:$port:tern:tern_service:$password" >"$state/pgpass"
    )
    printf '%s\n' "CREATE ROLE tern_service LOGIN NOSUPERUSER NOCREATEDB NOCREATEROLE PASSWORD '$password';" \
        "CREATE DATABASE tern OWNER tern_service;" |
        as_owner "$bin/psql" -q -v ON_ERROR_STOP=1 -h "$cluster" -p "$port" -U "$superuser" -d postgres \
            >/dev/null || {
        echo "postgres-cluster: the service's role could not be created" >&2
        exit 1
    }
}

start() {
    local state=$1 bin cluster port attempt
    bin=$(pg_bin)
    mkdir -p "$state"
    state=$(cd "$state" && pwd)
    [ -f "$state/postgres.pid" ] && kill -0 "$(cat "$state/postgres.pid")" 2>/dev/null && {
        echo "postgres-cluster: already running in $state" >&2
        exit 1
    }
    ensure_owner
    cluster=$(mktemp -d /tmp/tern-pg.XXXXXX)
    echo "$cluster" >"$state/cluster"
    [ "$(id -u)" -eq 0 ] && chown tern-pg:tern-pg "$cluster"
    chmod 700 "$cluster"
    local superuser
    superuser=$(as_owner id -un)
    as_owner "$bin/initdb" -D "$cluster/data" -U "$superuser" --auth-local=peer --auth-host=scram-sha-256 \
        -E UTF8 --no-locale >"$cluster/initdb.log" 2>&1 || {
        cat "$cluster/initdb.log" >&2
        exit 1
    }
    # A free port: taken ones are skipped, and a start that loses a race for one tries the next.
    for attempt in $(seq 1 20); do
        port=$((20000 + RANDOM % 30000))
        port_taken "$port" && continue
        if as_owner "$bin/pg_ctl" -D "$cluster/data" -l "$cluster/server.log" -w -t 60 start \
            -o "-c listen_addresses=127.0.0.1 -p $port -k $cluster -c fsync=off -c max_connections=200" \
            >/dev/null 2>&1; then
            head -n 1 "$cluster/data/postmaster.pid" >"$state/postgres.pid"
            make_service_role "$bin" "$cluster" "$port" "$superuser" "$state"
            echo "postgresql://tern_service@127.0.0.1:$port/tern" >"$state/url"
            return 0
        fi
        grep -q "could not bind\|already in use" "$cluster/server.log" 2>/dev/null || break
    done
    echo "postgres-cluster: the server did not start:" >&2
    cat "$cluster/server.log" >&2 || true
    exit 1
}

stop() {
    local state=$1 pid cluster
    [ -f "$state/postgres.pid" ] || return 0
    pid=$(cat "$state/postgres.pid")
    # A fast shutdown ends every session; after 30 seconds the server is killed.
    if kill -INT "$pid" 2>/dev/null; then
        for _ in $(seq 1 300); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
    fi
    cluster=$(cat "$state/cluster" 2>/dev/null || true)
    case "$cluster" in
    /tmp/tern-pg.*) rm -rf "$cluster" ;;
    esac
    rm -f "$state/postgres.pid" "$state/url" "$state/cluster" "$state/pgpass"
}

[ $# -ge 2 ] || usage
command=$1
state=$2
shift 2
case "$command" in
start) start "$state" ;;
stop) stop "$state" ;;
run)
    [ "${1:-}" = "--" ] && shift
    [ $# -ge 1 ] || usage
    start "$state"
    trap 'stop "$state"' EXIT
    status=0
    PGPASSFILE=$state/pgpass TERN_TEST_DATABASE_URL=$(cat "$state/url") "$@" || status=$?
    exit "$status"
    ;;
*) usage ;;
esac
