#!/usr/bin/env bash
# Times the bulk tag writes beside the bare system-call loop
# (bench/raw_tail_write.cpp: open, fstat, pread, pwrite, close per file, no
# flush) over the same COUNT files in one folder, page cache warm:
#   kaz-cli tag set --comment C --files-from LIST
#   kaz-cli fromname --comment C --files-from LIST
# Each round times the loop and then each command, all as whole processes,
# with a new comment every time so that every file is written; the ratios
# are per round, their medians are printed last.
# Usage: bench/tag_write.sh [COUNT] [ROUNDS] (default 20000 files, 5 rounds);
# needs a built tree in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/flat_files.sh "$@"
sync

seconds() { awk -v t="$1" 'BEGIN { printf "%.3f", t / 1e9 }'; }
ratio() { awk -v k="$1" -v l="$2" 'BEGIN { printf "%.2f", k / l }'; }
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
set_ratios=()
fromname_ratios=()
for round in $(seq "$rounds"); do
  sync # each timed phase starts with nothing left to write back
  t0=$(now); ./build/bin/raw_tail_write "$work/list" "loop $round" > /dev/null; t1=$(now)
  sync
  t2=$(now)
  ./build/bin/kaz-cli tag set --comment "set $round" --files-from "$work/list" > /dev/null 2>&1 || echo "tag set failed"
  t3=$(now)
  sync
  t4=$(now)
  ./build/bin/kaz-cli fromname --comment "from $round" --files-from "$work/list" > /dev/null 2>&1 || true # exit 1 also when a name holds no track number 1 to 255
  t5=$(now)
  loop=$((t1 - t0)); set=$((t3 - t2)); from=$((t5 - t4))
  set_ratios+=("$(ratio "$set" "$loop")")
  fromname_ratios+=("$(ratio "$from" "$loop")")
  printf 'round %d: floor %s s, tag set %s s (%sx), fromname %s s (%sx)\n' "$round" "$(seconds "$loop")" \
    "$(seconds "$set")" "${set_ratios[-1]}" "$(seconds "$from")" "${fromname_ratios[-1]}"
done
echo "tag set --comment, $count flat files: median ratio to the floor $(median "${set_ratios[@]}") (target 4 or less)"
echo "fromname --comment, $count flat files: median ratio to the floor $(median "${fromname_ratios[@]}")"
