#!/usr/bin/env bash
# Times "kaz-cli tag show --json" over many generated files beside the bare
# system-call loop (bench/raw_tail_read.cpp) on the same files, page cache warm.
# Usage: bench/tag_show.sh [COUNT] (default 100000); needs a built tree in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-100000}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
./build/bin/kaz-cli demo "$work/files" --count "$count" >/dev/null
find "$work/files" -name '*.mp3' > "$work/list"
tr '\n' '\0' < "$work/list" | xargs -0 cat > /dev/null   # warm the page cache
./build/bin/raw_tail_read "$work/list"     # warm once more, untimed
./build/bin/raw_tail_read "$work/list"
start=$(date +%s%N)
./build/bin/kaz-cli tag show --json --files-from "$work/list" > /dev/null 2>&1
end=$(date +%s%N)
ms=$(( (end - start) / 1000000 ))
printf 'kaz-cli tag show --json: %s files, %d.%03d s\n' "$count" $((ms / 1000)) $((ms % 1000))
if [ -x /usr/bin/time ]; then
  /usr/bin/time -f '%M' -o "$work/mem" ./build/bin/kaz-cli tag show --json --files-from "$work/list" > /dev/null 2>&1 || true
  echo "kaz-cli peak memory: $(cat "$work/mem") KiB"
fi
