#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the project and runs every test: the core tests, the
# reference service's tests, and the tests that need a display inside a headless desktop.
#   scripts/setup-and-test.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build/ci}
scripts/install-deps.sh
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTERN_BUILD_BENCH=ON >/dev/null
cmake --build "$build_dir" -j2
mkdir -p artifacts
# Tests that need X run against the headless desktop; the artifacts folder collects screenshots.
TERN_ARTIFACTS_DIR="$PWD/artifacts" scripts/headless-desktop.sh -- \
    ctest --test-dir "$build_dir" --output-on-failure --timeout 600
