#!/usr/bin/env bash
# Installs what is needed, builds KAZ, generates a demo collection and opens
# the KAZ window on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
demo="${KAZ_DEMO_DIR:-$PWD/build/demo-collection}"
if [ ! -d "$demo" ]; then
  ./build/bin/kaz-cli demo "$demo" --count 60
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open the KAZ window on; showing what a rename of the demo collection would do." >&2
  echo "For the window under Xvfb: xvfb-run -a ./build/bin/kaz -open \"$demo\"" >&2
  exec ./build/bin/kaz-cli rename --preview --recursive --lang en "$demo"
fi
exec ./build/bin/kaz -open "$demo"
