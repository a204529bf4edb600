#!/usr/bin/env bash
# Starts or stops the whole service on this machine: a PostgreSQL cluster, two tern-server instances
# and nginx with TLS in front of them on loopback, all kept in one folder. The instances listen on
# Unix sockets in DIR/sockets, a folder that only nginx's workers and the instances' user can enter,
# and believe the client address nginx forwards from whoever connects there.
#   scripts/deployment.sh up DIR     start everything; DIR is created when missing
#   scripts/deployment.sh down DIR   stop everything that "up" started in DIR
# TERN_BUILD_DIR names the build whose bin/tern-server runs (default: build/dev).
# After "up", DIR holds:
#   url                  the https base address, one line (https://127.0.0.1:PORT)
#   ca.pem               the certificate authority to trust for it (tern config set CaFile DIR/ca.pem)
#   server-1.pid, server-2.pid, nginx.pid, postgres.pid   the process of each part
#   server-N.log, nginx/error.log, nginx/access.log   their logs
#   sockets/server-N.sock  the instances' sockets
# The database is a throw-away cluster of scripts/postgres-cluster.sh (its state in DIR/postgres; as
# root it runs as the system user tern-pg, since PostgreSQL refuses root); the instances log in as
# its non-superuser role with the password in DIR/postgres/pgpass. nginx's workers run as
# www-data (or nobody).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
instances=2

usage() {
    echo "Usage: $0 up|down DIR" >&2
    exit 2
}

fail() {
    echo "deployment: $*" >&2
    exit 1
}

# A TCP port on 127.0.0.1 that nobody listens on now.
free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tries=$1
    shift
    for _ in $(seq 1 "$tries"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

make_certificates() {
    local tls=$dir/tls
    mkdir -p "$tls"
    chmod 700 "$tls"
    # A certificate authority of this deployment alone, and the server's certificate for the loopback
    # address signed by it: clients trust ca.pem and check the host as they would anywhere else.
    openssl req -x509 -newkey rsa:2048 -nodes -days 30 -subj "/CN=Tern Clipboard local authority" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
        -keyout "$tls/ca.key" -out "$dir/ca.pem" 2>/dev/null
    openssl req -newkey rsa:2048 -nodes -subj "/CN=127.0.0.1" \
        -keyout "$tls/server.key" -out "$tls/server.csr" 2>/dev/null
    printf '%s\n' "basicConstraints=critical,CA:FALSE" "keyUsage=critical,digitalSignature,keyEncipherment" \
        "extendedKeyUsage=serverAuth" "subjectAltName=IP:127.0.0.1,DNS:localhost" >"$tls/server.ext"
    openssl x509 -req -in "$tls/server.csr" -CA "$dir/ca.pem" -CAkey "$tls/ca.key" \
        -CAserial "$tls/ca.srl" -CAcreateserial \
        -days 30 -extfile "$tls/server.ext" -out "$tls/server.pem" 2>/dev/null
    chmod 644 "$dir/ca.pem"
}

# The database: a cluster of scripts/postgres-cluster.sh, whose state lies in DIR/postgres.
start_postgres() {
    "$here/postgres-cluster.sh" start "$dir/postgres" || fail "PostgreSQL did not start"
    cp "$dir/postgres/postgres.pid" "$dir/postgres.pid"
    cp "$dir/postgres/url" "$dir/database-url"
}

# The folder of the instances' sockets: the instances' user owns it, nginx's workers may only pass
# through it (group, execute), nobody else may even look in.
make_socket_folder() {
    mkdir -p "$dir/sockets"
    if [ "$(id -u)" -eq 0 ]; then
        chgrp "$(id -gn "$worker_user")" "$dir/sockets"
        chmod 710 "$dir/sockets"
    else
        chmod 700 "$dir/sockets"
    fi
}

# Starts instance $1 on its Unix socket and prints the socket's path.
start_instance() {
    local n=$1
    local log=$dir/server-$n.log socket=$dir/sockets/server-$n.sock
    : >"$log"
    PGPASSFILE=$dir/postgres/pgpass setsid "$server" --listen "unix:$socket" --database "$(cat "$dir/database-url")" --trusted-proxy unix \
        </dev/null >"$log" 2>&1 &
    echo $! >"$dir/server-$n.pid"
    for _ in $(seq 1 200); do
        grep -q "^tern-server listening on unix:" "$log" && {
            echo "$socket"
            return 0
        }
        kill -0 "$(cat "$dir/server-$n.pid")" 2>/dev/null || fail "tern-server $n ended: $(tail -n 5 "$log")"
        sleep 0.1
    done
    fail "tern-server $n did not start"
}

start_nginx() {
    local conf=$dir/nginx
    mkdir -p "$conf"
    local servers=
    for socket in "$@"; do servers+="server unix:$socket max_fails=0; "; done
    for attempt in 1 2 3; do
        nginx_port=$(free_port)
        sed -e "s|@TERN_LISTEN@|127.0.0.1:$nginx_port|" -e "s|@TERN_CERTIFICATE@|$dir/tls/server.pem|" \
            -e "s|@TERN_CERTIFICATE_KEY@|$dir/tls/server.key|" -e "s|@TERN_INSTANCES@|$servers|" \
            -e "s|@TERN_ACCESS_LOG@|$conf/access.log|" \
            "$source_dir/deploy/nginx/tern.conf" >"$conf/tern.conf"
        {
            [ "$(id -u)" -ne 0 ] || echo "user $worker_user;"
            echo "worker_processes 2;"
            # Enough connections for every client the per-address limits let in, twice (client and
            # instance), and for the connections still sending their headers.
            echo "worker_rlimit_nofile 20000;"
            echo "pid $dir/nginx.pid;"
            echo "error_log $conf/error.log warn;"
            echo "events { worker_connections 8192; }"
            echo "http {"
            echo "    default_type application/octet-stream;"
            for temp in client_body proxy fastcgi uwsgi scgi; do echo "    ${temp}_temp_path $conf/$temp;"; done
            echo "    include $conf/tern.conf;"
            echo "}"
        } >"$conf/nginx.conf"
        if nginx -p "$conf" -c "$conf/nginx.conf" -e "$conf/error.log" 2>>"$conf/start.log"; then
            wait_for 100 test -s "$dir/nginx.pid" || fail "nginx wrote no PID"
            return 0
        fi
        # Another program took the port between the choice and the start: choose again.
        grep -q 'Address already in use' "$conf/start.log" || break
    done
    fail "nginx did not start: $(tail -n 5 "$conf/start.log")"
}

up() {
    mkdir -p "$dir"
    dir=$(cd "$dir" && pwd)
    [ ! -s "$dir/nginx.pid" ] || fail "$dir already holds a deployment; stop it with: $0 down $dir"
    local build=${TERN_BUILD_DIR:-$source_dir/build/dev}
    server=$build/bin/tern-server
    [ -x "$server" ] || fail "no tern-server in $build/bin (set TERN_BUILD_DIR)"
    # nginx's workers must be able to pass through DIR.
    chmod 711 "$dir"
    worker_user=www-data
    id "$worker_user" >/dev/null 2>&1 || worker_user=nobody
    # A failed start leaves nothing running.
    trap 'down >/dev/null 2>&1 || true' ERR EXIT
    make_certificates
    start_postgres
    make_socket_folder
    local sockets=() socket
    for n in $(seq 1 "$instances"); do
        socket=$(start_instance "$n")
        sockets+=("$socket")
    done
    start_nginx "${sockets[@]}"
    local url=https://127.0.0.1:$nginx_port
    wait_for 100 curl -sf --noproxy '*' --cacert "$dir/ca.pem" "$url/" || fail "the service does not answer at $url"
    echo "$url" >"$dir/url"
    trap - ERR EXIT
    echo "$url"
}

# Sends $2 to the process in pid file $1, waits up to 20 seconds for it to end, then kills it.
stop_process() {
    local file=$1 signal=$2
    [ -s "$file" ] || return 0
    local pid
    pid=$(cat "$file")
    if kill "-$signal" "$pid" 2>/dev/null; then
        wait_for 200 bash -c "! kill -0 $pid" || kill -KILL "$pid" 2>/dev/null || true
    fi
    rm -f "$file"
}

down() {
    [ -d "$dir" ] || return 0
    stop_process "$dir/nginx.pid" QUIT
    for n in $(seq 1 "$instances"); do stop_process "$dir/server-$n.pid" TERM; done
    "$here/postgres-cluster.sh" stop "$dir/postgres"
    rm -f "$dir/postgres.pid"
    rm -f "$dir/url"
}

[ $# -eq 2 ] || usage
dir=$2
case $1 in
up) up ;;
down) down ;;
*) usage ;;
esac
