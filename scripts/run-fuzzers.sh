#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for N seconds (default 60).
# Usage: scripts/run-fuzzers.sh [SECONDS] [BUILD_DIR]
# New inputs go to a scratch corpus under the build folder; the committed seeds stay unchanged.
# Exits non-zero when a build fails or a fuzzer finds a crash (its reproducer is left in the build
# folder's fuzz-artifacts/).
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${2:-$root/build-fuzz}"
jobs="${TERN_FUZZ_BUILD_JOBS:-2}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTERN_BUILD_FUZZ=ON -DTERN_CORE_ONLY=ON -DTERN_BUILD_TESTS=OFF -DTERN_BUILD_BENCH=OFF
cmake --build "$build" -j"$jobs" --target fuzz_container fuzz_snapshot fuzz_bitmap_file fuzz_multipart_form \
    fuzz_html_format fuzz_foreign_clipboard

status=0
for target in container snapshot bitmap_file multipart_form html_format foreign_clipboard; do
    corpus="$build/fuzz-corpus/$target"
    artifacts="$build/fuzz-artifacts/$target/"
    mkdir -p "$corpus" "$artifacts"
    echo "== fuzz_$target for ${seconds}s"
    if ! "$build/bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
        -rss_limit_mb=2048 -artifact_prefix="$artifacts" "$corpus" "$root/fuzz/corpus/$target"; then
        echo "fuzz_$target found a failure; reproducers in $artifacts" >&2
        status=1
    fi
done
exit "$status"
