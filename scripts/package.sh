#!/usr/bin/env bash
# Builds the Debian package of Tarvelin: an optimised build for /usr (the "release" preset in
# build/package), then "cpack -G DEB". The last line printed is the package's absolute path.
# Install it with "apt install ./tarvelin_3.4.0_amd64.deb"; scripts/check-package.sh checks it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build package
build_dir=build/package
cmake --preset release -B "$build_dir" -DCMAKE_INSTALL_PREFIX=/usr
cmake --build "$build_dir" -j "${JOBS:-2}"
(cd "$build_dir" && cpack -G DEB)
deb="$(ls -t "$build_dir"/tarvelin_*_"$(dpkg --print-architecture)".deb | head -n 1)"
realpath "$deb"
