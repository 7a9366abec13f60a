#!/usr/bin/env bash
# Builds the Debian package: a Release build without tests and benchmarks in build-package/ (or
# the folder given), then `cpack -G DEB`, which writes fenpai_<version>_<arch>.deb there.
# Install it with: sudo apt install ./build-package/fenpai_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
fenpai_install_deps

build=${1:-build-package}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFENPAI_BUILD_TESTS=OFF \
    -DFENPAI_BUILD_BENCH=OFF -DFENPAI_SANITIZE=OFF -DFENPAI_WERROR=ON
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/fenpai_${version}_$(dpkg --print-architecture).deb"
test -f "$deb"
echo "$deb"
