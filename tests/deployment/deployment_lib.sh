# Shared set-up of the deployment tests; sourced by each test script after `set -euo pipefail`.
# Starts the whole service (PostgreSQL, two tern-server instances, nginx with TLS) with
# scripts/deployment.sh in a fresh folder under the build, gives the test a home of its own whose
# `tern` talks to it over https, and stops everything when the script ends.
#   $build    the build folder (TERN_BUILD_DIR); $tern its command-line tool
#   $deploy   the deployment's folder; $url its https address; $ca its certificate authority
#   $work     a scratch folder of the test

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=$(cd "$1" && pwd)
tern=$build/bin/tern
export TERN_BUILD_DIR=$build

for tool in nginx openssl python3 /usr/lib/postgresql/*/bin/initdb; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (scripts/install-deps.sh)"; exit 77; }
done

mkdir -p "$build/deployment-tests"
deploy=$(mktemp -d -p "$build/deployment-tests" deploy.XXXXXX)
work=$(mktemp -d -p "$build/deployment-tests" work.XXXXXX)
deployment_cleanup() {
    local status=$?
    "$source_dir/scripts/deployment.sh" down "$deploy" >/dev/null 2>&1 || true
    if [ "$status" -ne 0 ]; then
        echo "--- logs of the failed run" >&2
        tail -n 20 "$deploy"/server-*.log "$deploy/nginx/error.log" 2>/dev/null >&2 || true
    fi
    rm -rf "$deploy" "$work"
}
trap deployment_cleanup EXIT

"$source_dir/scripts/deployment.sh" up "$deploy" >/dev/null
url=$(cat "$deploy/url")
ca=$deploy/ca.pem

# A home of its own for the given user name: settings, data and the service address.
use_home() {
    export HOME=$work/home-$1 XDG_CONFIG_HOME=$work/home-$1/config XDG_DATA_HOME=$work/home-$1/data
    mkdir -p "$HOME"
}
