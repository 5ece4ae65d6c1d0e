#!/usr/bin/env bash
# Times the window with large folders: filling a list with the tagged filter
# and (when page "0" is built) a rename run, over COUNT files (default 20,000).
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-20000}"
export QT_QPA_PLATFORM=offscreen KAZ_BENCH_FILES="$count"
./build/bin/kaz_ui_shell_tests --gtest_filter='LargeFolder.*' | grep -E 'files:|OK|FAILED'
if [ -x ./build/bin/kaz_ui_rename_tests ]; then
  ./build/bin/kaz_ui_rename_tests --gtest_filter='LargeRun.*' | grep -E 'files:|OK|FAILED'
fi
