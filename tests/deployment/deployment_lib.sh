# Shared set-up of the deployment tests; sourced by each test script after `set -euo pipefail`.
# deployment_up starts the whole service (PostgreSQL, two tern-server instances, nginx with TLS) with
# scripts/deployment.sh in a fresh folder under the build and stops everything when the script ends;
# use_home gives each user of the test a home of its own.
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

# A missing part skips the test, unless TERN_REQUIRE_DEPLOYMENT=1 (CI) makes that a failure.
require() {
    command -v "$1" >/dev/null && return 0
    [ "${TERN_REQUIRE_DEPLOYMENT:-0}" = 1 ] && fail "$1 is not installed (scripts/install-deps.sh)"
    echo "SKIP: $1 is not installed (scripts/install-deps.sh)"
    exit 77
}
for tool in nginx openssl python3 curl /usr/lib/postgresql/*/bin/initdb; do require "$tool"; done

deployment_cleanup() {
    local status=$?
    "$source_dir/scripts/deployment.sh" down "$deploy" >/dev/null 2>&1 || true
    if [ "$status" -ne 0 ]; then
        # What went wrong, without the access lines of the instances.
        echo "--- instances' and nginx's errors" >&2
        grep -hv '^[0-9a-f.:]* [A-Z]* /' "$deploy"/server-*.log 2>/dev/null | tail -n 20 >&2 || true
        grep -h '\[error\]\|\[crit\]' "$deploy/nginx/error.log" 2>/dev/null | tail -n 20 >&2 || true
    fi
    rm -rf "$deploy" "$work"
}

# Starts the deployment; everything is stopped and removed when the script ends.
deployment_up() {
    mkdir -p "$build/deployment-tests"
    deploy=$(mktemp -d -p "$build/deployment-tests" deploy.XXXXXX)
    work=$(mktemp -d -p "$build/deployment-tests" work.XXXXXX)
    trap deployment_cleanup EXIT
    "$source_dir/scripts/deployment.sh" up "$deploy" >/dev/null
    url=$(cat "$deploy/url")
    ca=$deploy/ca.pem
}

# A home of its own for the given user name: settings, data and the service address.
use_home() {
    export HOME=$work/home-$1 XDG_CONFIG_HOME=$work/home-$1/config XDG_DATA_HOME=$work/home-$1/data
    mkdir -p "$HOME"
}
