#!/usr/bin/env bash
# Times "kaz-cli tag show --json --id3v2" over files that carry an ID3v2.4 tag
# at their start and no ID3v1 tag, beside the ID3v1 read floor (the bare
# open/fstat/pread/close loop of bench/raw_tail_read.cpp) on the same files,
# page cache warm, and prints the ratio; for comparison the same for the
# files as generated (ID3v1 tags) and plain "tag show --json". Each figure is
# the best of three runs.
# Usage: bench/tag_show_id3v2.sh [COUNT] (default 20000); needs a built tree in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-20000}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
./build/bin/kaz-cli demo "$work/files" --count "$count" >/dev/null
find "$work/files" -name '*.mp3' > "$work/list"

seconds() { local s e; s=$(date +%s%N); "$@" > /dev/null 2>&1; e=$(date +%s%N); echo "$(( (e - s) / 1000000 ))"; }
best_of_three() { local best=999999999 t; for _ in 1 2 3; do t=$(seconds "$@"); [ "$t" -lt "$best" ] && best=$t; done; echo "$best"; }
floor_ms() {
  local best=999999999 t
  for _ in 1 2 3; do
    t=$(./build/bin/raw_tail_read "$work/list" | sed -E 's/.* ([0-9.]+) s$/\1/' | awk '{ printf "%d", $1 * 1000 }')
    [ "$t" -lt "$best" ] && best=$t
  done
  echo "$best"
}
report() { # label, floor ms, kaz ms
  awk -v l="$1" -v f="$2" -v k="$3" -v n="$count" \
    'BEGIN { printf "%s: %d files, floor %.3f s, kaz-cli %.3f s, ratio %.2fx\n", l, n, f / 1000, k / 1000, (f > 0 ? k / f : 0) }'
}
warm() { tr '\n' '\0' < "$work/list" | xargs -0 cat > /dev/null; ./build/bin/raw_tail_read "$work/list" > /dev/null; }

warm
report "ID3v1 files, tag show --json" "$(floor_ms)" \
  "$(best_of_three ./build/bin/kaz-cli tag show --json --files-from "$work/list")"

# Each file: an ID3v2.4 tag (UTF-8 texts, as taggers write them today) in
# front, its ID3v1 tag cut off.
python3 - "$work/list" <<'PY'
import sys

def syncsafe(n):
    return bytes(((n >> 21) & 0x7f, (n >> 14) & 0x7f, (n >> 7) & 0x7f, n & 0x7f))

def frame(fid, text, comment=False):
    data = b'\x03' + (b'eng\x00' if comment else b'') + text.encode('utf-8')
    return fid + syncsafe(len(data)) + b'\x00\x00' + data

for i, path in enumerate(open(sys.argv[1]).read().split('\n')):
    if not path:
        continue
    body = b''.join((frame(b'TIT2', 'Title number %d of the collection' % i), frame(b'TPE1', 'Ärtist %d' % (i % 97)),
                     frame(b'TALB', 'Album %d' % (i % 1013)), frame(b'TDRC', '2001-05-04'),
                     frame(b'TRCK', '%d/12' % (i % 12 + 1)), frame(b'TCON', '(17)Rock'),
                     frame(b'COMM', 'note', comment=True))) + b'\x00' * 256
    with open(path, 'rb') as f:
        audio = f.read()[:-128]
    with open(path, 'wb') as f:
        f.write(b'ID3\x04\x00\x00' + syncsafe(len(body)) + body + audio)
PY
warm
./build/bin/kaz-cli tag show --json --id3v2 --files-from "$work/list" > "$work/out" 2>/dev/null
echo "read from ID3v2: $(grep -c '"fromId3v2":true' "$work/out" || true) of $count files"
report "ID3v2 files, tag show --json --id3v2" "$(floor_ms)" \
  "$(best_of_three ./build/bin/kaz-cli tag show --json --id3v2 --files-from "$work/list")"
