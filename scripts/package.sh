#!/usr/bin/env bash
# Builds the Debian package build/kaz_<version>_amd64.deb: both programs, the
# help pages, manual pages, bash completion, desktop entry, icon and AppStream
# metadata, with Depends computed from the programs (dpkg-shlibdeps).
# Install it with: apt install ./build/kaz_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
(cd build && cpack -G DEB)
ls build/kaz_*.deb
