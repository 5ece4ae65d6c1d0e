#!/usr/bin/env bash
# Builds the Debian package build-package/kaz_<version>_amd64.deb: both
# programs, the help pages, manual pages, bash completion, desktop entry, icon
# and AppStream metadata, with Depends computed from the programs
# (dpkg-shlibdeps). The programs are built in build-package/, without the
# tests and so without the fault points the kill tests use.
# Install it with: apt install ./build-package/kaz_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_DIR=build-package KAZ_BUILD_TESTS=OFF bash scripts/build.sh
(cd build-package && cpack -G DEB)
ls build-package/kaz_*.deb
