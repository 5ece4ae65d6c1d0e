#!/usr/bin/env bash
# Installs what is needed, builds KAZ, generates a demo collection and runs
# the program on it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
demo="${KAZ_DEMO_DIR:-$PWD/build/demo-collection}"
if [ ! -d "$demo" ]; then
  ./build/bin/kaz-cli demo "$demo" --count 60
fi
find "$demo" -name '*.mp3' -print0 | sort -z | xargs -0 ./build/bin/kaz-cli tag show
