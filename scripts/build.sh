#!/usr/bin/env bash
# Configures and builds KAZ into build/ (programs in build/bin/).
# KAZ_WERROR=ON turns warnings into errors (CI); KAZ_BUILD_GUI=OFF builds
# the core, kaz-cli and their tests without Qt Widgets.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" \
  -DKAZ_WERROR="${KAZ_WERROR:-OFF}" -DKAZ_BUILD_GUI="${KAZ_BUILD_GUI:-ON}" "${launcher[@]}" >/dev/null
cmake --build build
