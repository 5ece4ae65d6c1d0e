#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the GoogleTest suites
# through CTest, then a short fuzzing run of the tag reader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure --timeout 600 -j2)
bash scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
