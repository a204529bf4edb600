#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the project and runs every test: the core tests, the
# reference service's tests, and the tests that need a display inside a headless desktop. The build
# folder is the one scripts/setup-and-run.sh uses (build/ci).
#   scripts/setup-and-test.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build/ci}
scripts/install-deps.sh
cmake --preset ci -B "$build_dir" >/dev/null
cmake --build "$build_dir" -j2
mkdir -p artifacts
# Tests that need X run against the headless desktop; the artifacts folder collects screenshots.
log="$build_dir/ctest.log"
set +e
TERN_ARTIFACTS_DIR="$PWD/artifacts" scripts/headless-desktop.sh -- \
    ctest --test-dir "$build_dir" --output-on-failure --timeout 600 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
set -e
# The closing line says how many tests ran and how many failed.
summary=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$log" | tail -n 1)
echo "${summary:-no test summary: ctest did not finish (status $status)}"
exit "$status"
