#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
fenpai_install_deps

jobs=$(nproc)
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFENPAI_SANITIZE=ON
cmake --build build-asan -j"$jobs"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
cd build-asan
ctest --output-on-failure -j"$jobs"
