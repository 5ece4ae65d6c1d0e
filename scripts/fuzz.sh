#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKAZ_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz
for fuzzer in build-fuzz/bin/fuzz_*; do
  corpus="build-fuzz/corpus/$(basename "$fuzzer")"
  mkdir -p "$corpus"
  echo "fuzzing $(basename "$fuzzer") for ${seconds}s"
  "$fuzzer" -max_total_time="$seconds" -max_len=70000 -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
done
