#!/bin/sh
# Builds the reader's fuzz target with clang and runs it for a while on the
# seed corpus (tests/data/xlsx).  Usage: scripts/fuzz-smoke.sh [SECONDS]  (default 30)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
build=${TOLM_FUZZ_BUILD:-$root/build-fuzz}
if ! command -v clang++ >/dev/null 2>&1; then
    echo "fuzz-smoke: clang++ not found, skipped"
    exit 0
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTOLM_BUILD_FUZZ=ON -DTOLM_BUILD_GUI=OFF -DTOLM_BUILD_TESTS=OFF -DTOLM_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_load_workbook -j2
mkdir -p "$build/corpus"
"$build/fuzz/fuzz_load_workbook" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$build/corpus" "$root/tests/data/xlsx"
