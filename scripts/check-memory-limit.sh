#!/usr/bin/env bash
# Runs kaz-cli over a demo collection of COUNT files with its address space
# limited to LIMIT KiB (ulimit -v), as a user's shell or a service may limit
# it: every run must do its work. A run under a limit too small for its work
# must say so and exit 1, with every file as it was.
# Usage: scripts/check-memory-limit.sh [BUILD_DIR] [COUNT] [LIMIT]
# (default: build-package, 3000 files, 100000 KiB). Not for sanitized
# builds: AddressSanitizer reserves far more address space than that.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build-package}" && pwd)"
count="${2:-3000}"
limit="${3:-100000}"
cli="$build/bin/kaz-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
limited() {
  (ulimit -v "$1" && shift && exec "$@")
}
listing() {
  (cd "$work/music" && find . -type f -printf '%p %s\n' | sort | md5sum)
}

echo "== $count files, address space limited to $limit KiB"
limited "$limit" "$cli" demo "$work/music" --count "$count" >/dev/null || fail "demo"
find "$work/music" -type f -name '*.mp3' | sort >"$work/list"
[ "$(wc -l <"$work/list")" -eq "$count" ] || fail "demo wrote $(wc -l <"$work/list") of $count files"
runs=(
  "tag show --json --files-from $work/list"
  "rename --preview --recursive $work/music"
  "rename --recursive $work/music"
  "undo --yes"
  "structure build --preview $work/music"
  "fromname --preview --files-from $work/list"
)
for run in "${runs[@]}"; do
  # shellcheck disable=SC2086 # the runs are word lists
  if ! limited "$limit" "$cli" $run >/dev/null 2>"$work/err"; then
    fail "kaz-cli $run: $(head -c 300 "$work/err")"
  fi
done

echo "== a limit too small for the run"
# The least limit the program starts under (its libraries take most of it):
# too little for a rename of every file.
small=$limit
while [ "$small" -gt 10000 ] && limited $((small - 2000)) "$cli" --version >/dev/null 2>&1; do
  small=$((small - 2000))
done
before=$(listing)
limited "$small" "$cli" rename --recursive "$work/music" >/dev/null 2>"$work/err"
status=$?
echo "limit $small KiB: exit $status $(tail -n 1 "$work/err")"
case "$status" in
  0) echo "(the run got by with that much)" ;;
  1) grep -q "out of memory" "$work/err" || fail "a rename without memory does not say so"
     [ "$(listing)" = "$before" ] || fail "a rename without memory changed files" ;;
  *) fail "a rename without memory exits $status, not 1" ;;
esac

if [ "$failures" -gt 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "every run works within $limit KiB"
