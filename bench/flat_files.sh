# Sourced by the tag benches: COUNT (first argument, default 20000) flat demo
# files in a temporary folder removed on exit, their sorted list in
# $work/list, the page cache warm, and the settings kept in $work.
count="${1:-20000}"
rounds="${2:-5}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
./build/bin/kaz-cli demo "$work/files" --flat --count "$count" >/dev/null
find "$work/files" -name '*.mp3' | sort > "$work/list"
tr '\n' '\0' < "$work/list" | xargs -0 cat > /dev/null   # warm the page cache
now() { date +%s%N; }
