#!/usr/bin/env bash
# Times "kaz-cli tag show --json" beside the bare system-call loop
# (bench/raw_tail_read.cpp: open, fstat, pread, close per file) over the same
# COUNT files in one folder, page cache warm. Each round times the loop and
# then kaz-cli, both as whole processes; the ratio is per round, and the
# median of the rounds is printed last.
# Usage: bench/tag_show.sh [COUNT] [ROUNDS] (default 20000 files, 5 rounds);
# needs a built tree in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/flat_files.sh "$@"
./build/bin/raw_tail_read "$work/list" > /dev/null        # and the dentries

ratios=()
for round in $(seq "$rounds"); do
  t0=$(now); ./build/bin/raw_tail_read "$work/list" > /dev/null; t1=$(now)
  ./build/bin/kaz-cli tag show --json --files-from "$work/list" > /dev/null 2>&1; t2=$(now)
  loop=$(( (t1 - t0) / 1000 )); kaz=$(( (t2 - t1) / 1000 ))
  ratio=$(awk -v k="$kaz" -v l="$loop" 'BEGIN { printf "%.2f", k / l }')
  ratios+=("$ratio")
  printf 'round %d: floor %6.3f s, kaz-cli tag show --json %6.3f s, ratio %s\n' "$round" \
    "$(awk -v t="$loop" 'BEGIN { print t / 1e6 }')" "$(awk -v t="$kaz" 'BEGIN { print t / 1e6 }')" "$ratio"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
echo "tag show --json, $count flat files: median ratio to the floor $median (target 1.4 or less)"
if [ -x /usr/bin/time ]; then
  /usr/bin/time -f '%M' -o "$work/mem" ./build/bin/kaz-cli tag show --json --files-from "$work/list" > /dev/null 2>&1 || true
  echo "kaz-cli peak memory: $(cat "$work/mem") KiB"
fi
