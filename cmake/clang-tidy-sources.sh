#!/usr/bin/env bash
# Compiler launcher for the clang-tidy build: runs clang-tidy on the project's own sources and skips
# the files that moc, uic and rcc generate (they live in *_autogen folders and are not ours to fix).
# CMake calls it as: clang-tidy-sources.sh CLANG_TIDY [TIDY ARGS...] SOURCE -- COMPILER ARGS...
set -euo pipefail
tidy=$1
shift
source_file=""
for arg in "$@"; do
    [ "$arg" = "--" ] && break
    case "$arg" in
        -*) ;;
        *) source_file=$arg ;;
    esac
done
case "$source_file" in
    *_autogen/* | */qrc_*.cpp) exit 0 ;;
esac
exec "$tidy" "$@"
