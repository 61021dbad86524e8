#!/usr/bin/env bash
# Installs what is missing, builds StartWarden for /usr, makes the Debian package with CPack
# (build/startwarden_<version>_<arch>.deb) and checks it with lintian.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSW_INSTALL_LAYOUT=system
cmake --build build
(cd build && cpack -G DEB)
lintian --fail-on error build/startwarden_*.deb
