#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test: the GoogleTest suites
# through CTest, then a short fuzzing run of the tag reader.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0
(cd build && ctest --output-on-failure --timeout 600 -j2) | tee "$log" || status=$?
bash scripts/fuzz.sh "${FUZZ_SECONDS:-20}" || status=$?
summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
if [ -n "$summary" ]; then
  failed=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+)/\1/')
  total=$(echo "$summary" | sed -E 's/.* out of ([0-9]+)/\1/')
  echo "tests: $((total - failed)) passed, $failed failed"
fi
exit "$status"
