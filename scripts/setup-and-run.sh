#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the programs and runs the reference service on loopback
# with the desktop program pointed at it. The build folder is the one scripts/setup-and-test.sh uses
# (build/ci), so running one after the other builds each file once.
#   scripts/setup-and-run.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build/ci}
scripts/install-deps.sh
cmake --preset ci -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j2 --target tern-clipboard tern tern-server

bin="$PWD/$build_dir/bin"
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
server_data="$data_home/Tern Clipboard Server"
mkdir -p "$server_data"

# The program keeps its single-instance lock in the user's runtime folder; a login session has one,
# a root shell or a container often has none.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    if [ -d "/run/user/$(id -u)" ] && [ -w "/run/user/$(id -u)" ]; then
        XDG_RUNTIME_DIR="/run/user/$(id -u)"
    else
        XDG_RUNTIME_DIR="${TMPDIR:-/tmp}/tern-runtime-$(id -u)"
        mkdir -p "$XDG_RUNTIME_DIR"
        chmod 700 "$XDG_RUNTIME_DIR"
    fi
    export XDG_RUNTIME_DIR
fi

if [ ! -x "$bin/tern-server" ]; then
    echo "The reference service is not built yet; only the command-line tool is available: $bin/tern --help"
    exit 0
fi

echo "Starting tern-server on http://127.0.0.1:8077 (data in $server_data)."
"$bin/tern-server" --listen 127.0.0.1:8077 --data "$server_data" &
server_pid=$!
trap 'kill $server_pid 2>/dev/null || true; wait $server_pid 2>/dev/null || true' EXIT

[ -n "$("$bin/tern" config get Login)" ] ||
    echo "No account is stored yet: the program asks for the language and then for your account."
"$bin/tern" config get ServiceHost | grep -qx 'http://127.0.0.1:8077' ||
    echo "Note: the client is pointed at $("$bin/tern" config get ServiceHost), not at this local service."

if [ -x "$bin/tern-clipboard" ]; then
    if [ -z "${DISPLAY:-}" ]; then
        echo "No display: starting a virtual desktop. Take a look with: DISPLAY=<shown below> import -window root shot.png"
        echo "Choosing Exit in the program's menu ends it, and with it this virtual desktop and the service."
        scripts/headless-desktop.sh -- bash -c 'echo "Virtual display: $DISPLAY"; exec "$0"' "$bin/tern-clipboard"
    else
        echo "Choosing Exit in the program's menu ends it, and with it the service started here."
        "$bin/tern-clipboard"
    fi
else
    echo "The desktop program is not built yet. The service runs until you press Ctrl+C;"
    echo "use the command-line tool against it: $bin/tern --help"
    wait $server_pid
fi
