#!/usr/bin/env bash
# Runs the KAZ window under Xvfb as a new user would (fresh home, demo
# collection) and takes screenshots of the main window in both languages and
# of the dialogs (the tag editor and the structure settings among them) into
# OUT (default build/screenshots); the README's pictures of the main window
# go into docs/. Needs xvfb, xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in Xvfb:xvfb xdotool:xdotool import:imagemagick; do
  if ! command -v "${tool%%:*}" >/dev/null; then
    apt-get install -y -qq --no-install-recommends "${tool##*:}" >/dev/null
  fi
done
out="$(realpath -m "${1:-build/screenshots}")"
mkdir -p "$out"
work="$(mktemp -d)"
display=":$((90 + RANDOM % 100))"
cleanup() {
  [ -n "${kaz_pid:-}" ] && kill "$kaz_pid" 2>/dev/null || true
  [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/runtime" DISPLAY="$display"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
./build/bin/kaz-cli demo "$work/music" --count 60 >/dev/null
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
x_pid=$!
sleep 1

shot() { sleep "${2:-0.8}"; import -window root "$out/$1.png"; echo "$out/$1.png"; }
# The README's picture: the main window alone (the largest window of the
# program), in 64 colours, so that it stays a few tens of KB.
readme_shot() {
  local wid best=0 largest=""
  for wid in $(xdotool search --onlyvisible --pid "$kaz_pid" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$wid")"
    if [ $((WIDTH * HEIGHT)) -gt "$best" ]; then best=$((WIDTH * HEIGHT)); largest=$wid; fi
  done
  mkdir -p docs
  import -window "$largest" -strip -colors 64 "PNG8:docs/kaz-main-$1.png"
  echo "docs/kaz-main-$1.png"
}
key() { xdotool key --clearmodifiers "$@"; }
click() { xdotool mousemove "$1" "$2" click 1; }
# A later run's window opens where the last one was closed: the next one at the top left.
home_window() {
  for key_value in "LastPosition true" "LastPosition_x 0" "LastPosition_y 0"; do
    ./build/bin/kaz-cli config set $key_value >/dev/null
  done
}

./build/bin/kaz -open "$work/music/Incoming" >"$work/kaz.log" 2>&1 &
kaz_pid=$!
sleep 3
click 300 120
key ctrl+a
shot main-de
readme_shot de
click 40 8; shot properties-menu-de; key Escape
xdotool mousemove 500 60 click 3; shot file-popup-de; key Escape
# Page "0": characters dialog (the item below "WinAmp path" in the first menu) and the preview.
click 40 8; sleep 0.5; click 105 119; shot characters-de; key Escape
sleep 1; click 350 60; key ctrl+a; key alt+v; shot preview-de 1.5; key Escape
sleep 1
# The tag editor on one file, and the directory-structure settings (Ctrl+V in German).
click 300 120; key alt+i; shot editor-de 1.5; key Escape
sleep 1; key ctrl+v; shot structure-de; key Escape
sleep 1
# Help menu at the fourth title: Help, Shortcuts & tips, Homepage, About.
menu_help() { click 245 8; sleep 0.5; click 280 "$1"; }
key F1; shot help-de 1.5; key Escape
menu_help 51; shot shortcuts-de; key Return
menu_help 95; shot about-de; key Return
sleep 1
# English in a new run on the same folder (the German steps left the tree elsewhere).
kill "$kaz_pid"; sleep 1
home_window
./build/bin/kaz -open "$work/music/Incoming" >>"$work/kaz.log" 2>&1 &
kaz_pid=$!
sleep 3
# Language menu: "english" is its first item.
click 130 8; sleep 0.5; click 140 29
sleep 1; click 500 60; key ctrl+a
shot main-en
readme_shot en
key F1; shot help-en 1.5; key Escape
menu_help 51; shot shortcuts-en; key Return
menu_help 95; shot about-en; key Return
sleep 1
xdotool mousemove 120 100 click 3; shot folder-popup-en; key Escape
xdotool mousemove 500 60 click 3; shot file-popup-en; key Escape
click 40 8; shot properties-menu-en; key Escape
click 40 8; sleep 0.5; click 105 119; shot characters-en; key Escape
sleep 1; click 350 60; key ctrl+a; key alt+p; shot preview-en 1.5; key Escape
sleep 1; click 500 60; key alt+i; shot editor-en 1.5; key Escape
sleep 1; key ctrl+d; shot structure-en; key Escape
if [ -n "${KAZ_SHOTS_SCRIPT:-}" ]; then
  # Further steps of a caller: shell code using shot, key and click.
  source "$KAZ_SHOTS_SCRIPT"
fi
kill "$kaz_pid"
# The tag editor on a file with an ID3v2 tag and no ID3v1 tag, the tag
# source switched on, and the Properties item checked, both languages.
sleep 1
mkdir -p "$work/v2"
python3 - "$(find "$work/music" -name '*.mp3' | sort | head -n 1)" "$work/v2/Headlong.mp3" <<'PY'
import sys
def syncsafe(n): return bytes(((n >> 21) & 0x7f, (n >> 14) & 0x7f, (n >> 7) & 0x7f, n & 0x7f))
def frame(fid, text): data = b'\x03' + text.encode('utf-8'); return fid + syncsafe(len(data)) + b'\x00\x00' + data
body = b''.join(frame(i, t) for i, t in ((b'TIT2', 'Headlong'), (b'TPE1', 'Queen'), (b'TALB', 'Innuendo'),
                                         (b'TDRC', '1991-02-04'), (b'TRCK', '3/12'), (b'TCON', '(17)Rock')))
audio = open(sys.argv[1], 'rb').read()[:-128]
open(sys.argv[2], 'wb').write(b'ID3\x04\x00\x00' + syncsafe(len(body)) + body + audio)
PY
./build/bin/kaz-cli config set ID3v2 true >/dev/null
home_window
./build/bin/kaz -open "$work/v2" >>"$work/kaz.log" 2>&1 &
kaz_pid=$!
sleep 3
# The first run stored its window position: back to the corner the clicks expect.
for wid in $(xdotool search --onlyvisible --pid "$kaz_pid" 2>/dev/null); do xdotool windowmove "$wid" 0 0; done
sleep 1
click 40 8; shot properties-menu-id3v2-en; key Escape
sleep 1; xdotool mousemove 500 60 click 1; key ctrl+a; key alt+i; shot editor-id3v2-en 1.5; key Escape
sleep 1; click 130 8; sleep 0.5; click 140 51
sleep 1; xdotool mousemove 500 60 click 1; key ctrl+a; key alt+i; shot editor-id3v2-de 1.5; key Escape
sleep 1; click 40 8; shot properties-menu-id3v2-de; key Escape
sleep 1
kill "$kaz_pid"
# The grid of page "2" and its write question, in English and in German.
home_window
./build/bin/kaz -open "$work/music/Incoming" >>"$work/kaz.log" 2>&1 &
kaz_pid=$!
sleep 3
grid_shots() {
  click 444 236; sleep 0.5; click 500 60; key ctrl+a; click 408 437; shot "grid-$1" 2
  click 500 544; shot "grid-question-$1"; key Escape
  sleep 0.5; click 955 544; sleep 1
}
grid_shots en
click 130 8; sleep 0.5; click 140 51; sleep 1
grid_shots de
kill "$kaz_pid"
