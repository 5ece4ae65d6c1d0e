#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 20).
# The seed is fixed (FUZZ_SEED, default 1) so that the test command explores the
# same inputs on every machine; FUZZ_SEED=0 draws a new one for longer hunts.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DKAZ_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz
for fuzzer in build-fuzz/bin/fuzz_*; do
  corpus="build-fuzz/corpus/$(basename "$fuzzer")"
  name="$(basename "$fuzzer")"
  if [ ! -d "$corpus" ] && [ -d "fuzz/seeds/$name" ]; then
    mkdir -p "$corpus" && cp "fuzz/seeds/$name"/* "$corpus"/
  fi
  if [ ! -d "$corpus" ] && [ "$name" = fuzz_tag_reader ] && [ -x build/bin/kaz-cli ]; then
    build/bin/kaz-cli demo "$corpus" --count 30 --flat >/dev/null   # real files as seeds
  fi
  mkdir -p "$corpus"
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
  echo "fuzzing $name for ${seconds}s"
  "$fuzzer" "${dict[@]}" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -max_len=70000 -print_final_stats=0 "$corpus" 2>&1 | tail -n 2
done
