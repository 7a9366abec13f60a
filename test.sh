#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors, and runs every
# test; the sources must be clang-format clean.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
fenpai_install_deps

mapfile -t sources < <(find src tests bench fuzz -name '*.cpp' -o -name '*.h' | sort)
if ! clang-format --dry-run --Werror "${sources[@]}"; then
    echo "clang-format: the files above need formatting (clang-format -i FILE)" >&2
    exit 1
fi

jobs=$(nproc)
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DFENPAI_SANITIZE=ON -DFENPAI_WERROR=ON
cmake --build build-asan -j"$jobs"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
cd build-asan
# The package test installs and removes a package (ctest -L package runs it).
ctest --output-on-failure -j"$jobs" -LE package
