#!/usr/bin/env bash
# Times kaz-cli tag set --comment C --files-from LIST over COUNT files with
# an ID3v2.3 tag (C longer than the old comment) beside the bare system-call
# loops (bench/raw_head_write.cpp, no flush), page cache warm:
#   padded: tags with 1 KB of padding, written in place under the journal,
#           beside the in-place loop;
#   tight:  tags without padding, so every file is written anew and renamed
#           over the old one, beside the rewrite loop (the files get their
#           tight tags back before each round, untimed).
# Prints each round and the per-file cost. Files without an ID3v2 tag keep
# the path that bench/tag_write.sh times.
# Usage: bench/tag_write_id3v2.sh [COUNT] [ROUNDS] (default 20000 files, 3
# rounds); needs a built tree in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/flat_files.sh "${1:-20000}" "${2:-3}"

# Puts an ID3v2.3 tag (title, comment, PADDING bytes of padding) in front of
# each listed file's audio, replacing the tag it has.
retag() {
  /usr/bin/python3 - "$work/list" "$1" <<'PY'
import sys
def frame(fid, data):
    return fid + len(data).to_bytes(4, "big") + b"\0\0" + data
def syncsafe(n):
    return bytes([(n >> 21) & 0x7f, (n >> 14) & 0x7f, (n >> 7) & 0x7f, n & 0x7f])
padding = int(sys.argv[2])
for path in open(sys.argv[1]).read().split("\n"):
    if not path:
        continue
    data = open(path, "rb").read()
    if data[:3] == b"ID3":
        s = data[6:10]
        data = data[10 + (s[0] << 21 | s[1] << 14 | s[2] << 7 | s[3]):]
    body = frame(b"TIT2", b"\0Some title") + frame(b"COMM", b"\0eng\0old comment") + b"\0" * padding
    open(path, "wb").write(b"ID3\x03\x00\x00" + syncsafe(len(body)) + body + data)
PY
}

seconds() { awk -v t="$1" 'BEGIN { printf "%.3f", t / 1e9 }'; }
ratio() { awk -v k="$1" -v l="$2" 'BEGIN { printf "%.2f", k / l }'; }
perfile() { awk -v t="$1" -v n="$count" 'BEGIN { printf "%.1f", t / n / 1e3 }'; }
for kind in padded tight; do
  for round in $(seq "$rounds"); do
    if [[ $kind == padded ]]; then
      [[ $round == 1 ]] && retag 1024
      floor=inplace
    else
      retag 0
      floor=rewrite
    fi
    sync
    t0=$(now); ./build/bin/raw_head_write "$work/list" "$floor" > /dev/null; t1=$(now)
    sync
    t2=$(now)
    ./build/bin/kaz-cli tag set --comment "$kind round $round, longer" --id3v2-write update --files-from "$work/list" \
      > /dev/null 2>&1 || echo "tag set failed"
    t3=$(now)
    loop=$((t1 - t0)); set=$((t3 - t2))
    printf '%s round %d: floor (%s) %s s = %s us/file, tag set %s s = %s us/file (%sx)\n' "$kind" "$round" \
      "$floor" "$(seconds "$loop")" "$(perfile "$loop")" "$(seconds "$set")" "$(perfile "$set")" "$(ratio "$set" "$loop")"
  done
done
