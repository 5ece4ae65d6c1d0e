#!/usr/bin/env bash
# Screenshots of the outside tools under Xvfb, as a new user with two
# favourite folders, one external program and VLC as the player would see
# them: the player buttons while a song plays, the player-path dialog in
# both modes, the user-directories dialog, the copy/move/delete dialog with
# its browser, and the menus. Into OUT (default build/screenshots). Needs
# xvfb, xdotool, imagemagick, dbus and vlc.
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build/screenshots}")"
mkdir -p "$out"
work="$(mktemp -d)"
chmod 755 "$work"
display=":$((90 + RANDOM % 100))"
cleanup() {
  [ -n "${kaz_pid:-}" ] && kill "$kaz_pid" 2>/dev/null || true
  if [ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
    gdbus call --session -d org.mpris.MediaPlayer2.vlc -o /org/mpris/MediaPlayer2 \
      -m org.mpris.MediaPlayer2.Quit >/dev/null 2>&1 || true
    sleep 1
  fi
  [ -n "${bus_pid:-}" ] && kill "$bus_pid" 2>/dev/null || true
  [ -n "${x_pid:-}" ] && kill "$x_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export XDG_RUNTIME_DIR="$work/runtime" DISPLAY="$display"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
./build/bin/kaz-cli demo "$work/music" --count 30 >/dev/null
# Longer songs, so that one still plays when the shot is taken.
python3 - "$work/music" <<'PY'
import sys, pathlib
frame = bytes([0xFF, 0xFB, 0x90, 0x64]) + bytes(413)
for f in pathlib.Path(sys.argv[1]).rglob('*.mp3'):
    data = f.read_bytes()
    tag = data[-128:] if data[-128:-125] == b'TAG' else b''
    f.write_bytes(frame * 2000 + tag)
PY
chmod -R a+rX "$work/music"

# A bus of our own; VLC runs through the test launcher (it refuses root).
cfg="$work/bus.conf"
cp /usr/share/dbus-1/session.conf /dev/null
printf '%s\n' '<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"' \
  ' "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">' \
  '<busconfig><include>/usr/share/dbus-1/session.conf</include>' \
  '<policy context="default"><allow user="*"/></policy></busconfig>' >"$cfg"
dbus-daemon --config-file="$cfg" --nofork --print-address=1 >"$work/bus.addr" &
bus_pid=$!
sleep 0.5
export DBUS_SESSION_BUS_ADDRESS="$(head -1 "$work/bus.addr")"
cat >"$work/vlc" <<'SH'
#!/bin/sh
opts='-I dummy -A dummy --no-video'
[ "$(id -u)" = 0 ] && exec setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp /usr/bin/vlc $opts "$@"
exec /usr/bin/vlc $opts "$@"
SH
chmod 755 "$work/vlc"

./build/bin/kaz-cli config show >/dev/null
./build/bin/kaz-cli config set WinAmp "$work/vlc" >/dev/null
python3 - "$XDG_CONFIG_HOME/kaz/KAZ.INI" "$work/music" <<'PY'
import sys
path, music = sys.argv[1], sys.argv[2]
text = open(path, 'rb').read().decode('utf-8')
text = text.replace('[userdefined directories]\r\n',
                    '[userdefined directories]\r\nF1=%s/Incoming\r\nF2=%s/Rock\r\n' % (music, music), 1)
text = text.replace('[external programs]\r\n', '[external programs]\r\nText editor=/usr/bin/vi\r\n', 1)
open(path, 'wb').write(text.encode('utf-8'))
PY
./build/bin/kaz-cli config set LastDir "$work/music/Incoming" >/dev/null
printf 'Language=%s\r\n' "${KAZ_SHOTS_LANGUAGE:-english}" >"$XDG_CONFIG_HOME/kaz/registry"

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
x_pid=$!
sleep 1
shot() { sleep "${2:-0.8}"; import -window root "$out/$1.png"; echo "$out/$1.png"; }
key() { xdotool key --clearmodifiers "$@"; }

./build/bin/kaz >"$work/kaz.log" 2>&1 &
kaz_pid=$!
sleep 3
# The file list, wherever the window was centred.
eval "$(xdotool search --sync --onlyvisible --name KAZ | head -1 | xargs xdotool getwindowgeometry --shell)"
fx=$((X + 500)); fy=$((Y + 80))
xdotool mousemove "$fx" "$fy" click 1; key ctrl+a
xdotool mousemove "$fx" "$fy" click 3; shot tools-file-popup 1
key Escape
# "Play files with WinAmp" through the pop-up: its items end with the player's four.
xdotool mousemove "$fx" "$fy" click 3; sleep 0.5
key Up Up Up Up Return
shot tools-playing 3
./build/bin/kaz-cli player status
# Without a window manager a closed dialog leaves no window active: click first.
focus() { xdotool mousemove "$fx" "$fy" click 1; key ctrl+a; sleep 0.3; }
focus; key ctrl+w; shot tools-player-path 1.2; key Escape; sleep 1.5
focus; key ctrl+e; shot tools-programs 1.2
# Its first "Select": the program chooser.
eval "$(xdotool search --sync --onlyvisible --name 'External programs' | head -1 | xargs xdotool getwindowgeometry --shell)"
xdotool mousemove $((X + WIDTH - 50)) $((Y + 21)) click 1; shot tools-program-chooser 1.2
key Escape; sleep 0.5; key Escape; sleep 1
focus; key ctrl+u; shot tools-userdirs 1.2; key Escape; sleep 1
focus
xdotool mousemove "$fx" "$fy" click 3; sleep 0.5
key Up Up Up Up Up Return
shot tools-send 1.2
key alt+b; shot tools-send-browse 1
key Escape; key Escape
sleep 0.5
focus; key alt+e; shot tools-menu-programs 0.6; key Escape
focus; key alt+e Left; shot tools-menu-favourites 0.6; key Escape
kill "$kaz_pid"
