#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the project and runs the reference service on loopback.
#   scripts/setup-and-run.sh
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build/run
scripts/install-deps.sh
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTERN_BUILD_TESTS=OFF -DTERN_BUILD_BENCH=OFF >/dev/null
cmake --build "$build_dir" -j2

bin="$PWD/$build_dir/bin"
data_home=${XDG_DATA_HOME:-$HOME/.local/share}
server_data="$data_home/Tern Clipboard Server"
mkdir -p "$server_data"

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
    run_program() { "$bin/tern-clipboard"; }
    if [ -z "${DISPLAY:-}" ]; then
        echo "No display: starting a virtual desktop. Take a look with: DISPLAY=<shown below> import -window root shot.png"
        scripts/headless-desktop.sh -- bash -c 'echo "Virtual display: $DISPLAY"; exec "$0"' "$bin/tern-clipboard"
    else
        run_program
    fi
else
    echo "The desktop program is not built yet. The service runs until you press Ctrl+C;"
    echo "use the command-line tool against it: $bin/tern --help"
    wait $server_pid
fi
