#!/usr/bin/env bash
# Fuzzes each workbook reader and the text (.csv) reader for MINUTES minutes (default 10) with libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer. Seeds are the test fixtures; what the fuzzer finds lands in
# fuzz-out/<reader>/ — copy each such input to tests/workbook/regressions/<reader>/ once fixed,
# so that ./test.sh replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
source scripts/deps.sh
fenpai_packages+=(clang libfuzzer-14-dev unzip)
fenpai_install_deps

build=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFENPAI_FUZZ=ON \
    -DFENPAI_BUILD_TESTS=OFF -DFENPAI_BUILD_BENCH=OFF > /dev/null
readers=(xlsx ods xls csv)
targets=()
for r in "${readers[@]}"; do targets+=("${r}readerfuzz"); done
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

fixtures=tests/workbook/fixtures
regressions=tests/workbook/regressions
seeds() { # reader → seed folder
    local reader=$1 dir=fuzz-out/seeds/$1
    rm -rf "$dir" && mkdir -p "$dir"
    cp "$fixtures"/*."$reader" "$dir"/ 2>/dev/null || true
    [ -d "$regressions/$reader" ] && cp "$regressions/$reader"/* "$dir"/ 2>/dev/null || true
    case $reader in
    xlsx)
        for f in "$fixtures"/*.xlsx; do
            { unzip -p "$f" xl/worksheets/sheet1.xml; printf '\n----\n'
              unzip -p "$f" xl/sharedStrings.xml 2>/dev/null; printf '\n----\n'
              unzip -p "$f" xl/styles.xml 2>/dev/null; } > "$dir/parts-$(basename "$f").txt" || true
        done ;;
    ods)
        for f in "$fixtures"/*.ods; do
            unzip -p "$f" content.xml > "$dir/content-$(basename "$f").txt" || true
        done ;;
    esac
    echo "$dir"
}

summary=()
for reader in "${readers[@]}"; do
    out=fuzz-out/$reader
    mkdir -p "$out/corpus"
    seed=$(seeds "$reader")
    echo "== $reader: $minutes min"
    set +e
    "$build/fuzz/${reader}readerfuzz" "$out/corpus" "$seed" -max_total_time=$((minutes * 60)) \
        -timeout=10 -rss_limit_mb=2048 -max_len=262144 -artifact_prefix="$out/" \
        -print_final_stats=1 > "$out/log.txt" 2>&1
    rc=$?
    set -e
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/log.txt" | grep -o '[0-9]*$' || echo 0)
    found=$(find "$out" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'timeout-*' -o -name 'oom-*' -o -name 'leak-*' \) | wc -l)
    summary+=("$reader: $runs runs, $found findings, exit $rc")
done
printf '%s\n' "${summary[@]}"
