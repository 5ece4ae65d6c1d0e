#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test:
# - build-asan/: the GoogleTest suites and the script checks through CTest,
#   built with AddressSanitizer and UndefinedBehaviorSanitizer (-O1) and with
#   the fault points the kill tests stop runs at;
# - build-package/: the programs as the package ships them (no tests, no
#   fault points, no sanitizers), for the package check and kaz-cli's runs
#   under a memory limit;
# - build-fuzz/: the libFuzzer targets (clang, both sanitizers), each run for
#   FUZZ_SECONDS (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
status=0

BUILD_DIR=build-asan BUILD_TYPE=Debug KAZ_SANITIZE=ON bash scripts/build.sh
(cd build-asan && ctest --output-on-failure --timeout 900 -j2) | tee "$log" || status=$?

BUILD_DIR=build-package KAZ_BUILD_TESTS=OFF bash scripts/build.sh
bash scripts/check-package.sh build-package || status=$?
bash scripts/check-memory-limit.sh build-package || status=$?

bash scripts/fuzz.sh "${FUZZ_SECONDS:-20}" || status=$?

summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)
if [ -n "$summary" ]; then
  failed=$(echo "$summary" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+)/\1/')
  total=$(echo "$summary" | sed -E 's/.* out of ([0-9]+)/\1/')
  echo "tests: $((total - failed)) passed, $failed failed"
fi
exit "$status"
