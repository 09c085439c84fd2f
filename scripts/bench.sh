#!/usr/bin/env bash
# Runs every benchmark of bench/ from the given build folder.
set -euo pipefail
build=${1:-build}
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
