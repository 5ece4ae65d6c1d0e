#!/usr/bin/env bash
# Configures and builds KAZ into build/ (programs in build/bin/).
# KAZ_WERROR=ON turns warnings into errors (CI); KAZ_BUILD_GUI=OFF builds
# the core, kaz-cli and their tests without Qt Widgets. BUILD_DIR names
# another folder; KAZ_BUILD_TESTS=OFF builds the programs alone, as a package
# ships them (without the kill tests' fault points); KAZ_SANITIZE=ON builds
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
dir="${BUILD_DIR:-build}"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  -DKAZ_WERROR="${KAZ_WERROR:-OFF}" -DKAZ_BUILD_GUI="${KAZ_BUILD_GUI:-ON}" \
  -DKAZ_BUILD_TESTS="${KAZ_BUILD_TESTS:-ON}" -DKAZ_FAULT_POINTS="${KAZ_BUILD_TESTS:-ON}" \
  -DKAZ_SANITIZE="${KAZ_SANITIZE:-OFF}" "${launcher[@]}" >/dev/null
cmake --build "$dir"
