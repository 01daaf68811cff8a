#!/usr/bin/env bash
# Runs each fuzzer for SECONDS (both, or those named), one process each, in turn. A fuzzer
# starts from its committed seeds (tests/fuzz/corpus/NAME, never written to) and the corpus
# it grew before, and keeps what it finds new in build/fuzz/corpus/NAME. A failing input is
# kept as build/fuzz/artifacts/NAME-crash-*; build/fuzz/tests/fuzz/fuzz_NAME FILE replays it.
# To fold the grown corpus into the seeds, minimised:
#   build/fuzz/tests/fuzz/fuzz_NAME -merge=1 tests/fuzz/corpus/NAME build/fuzz/corpus/NAME
# Arguments that start with "-" go to libFuzzer, e.g. -runs=N to stop after N executions.
#   fuzz.sh SECONDS [setups|dice ...] [-flag=value ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz.sh SECONDS [setups|dice ...] [-flag=value ...]}
shift
targets=()
flags=()
for arg in "$@"; do
    case $arg in
    -*) flags+=("$arg") ;;
    *) targets+=("$arg") ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=(setups dice)
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
mkdir -p build/fuzz/artifacts
for name in "${targets[@]}"; do
    echo "=== fuzz_$name for ${seconds}s ==="
    mkdir -p "build/fuzz/corpus/$name"
    "build/fuzz/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len=256 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/artifacts/$name-" \
        "${flags[@]}" "build/fuzz/corpus/$name" "tests/fuzz/corpus/$name"
done
