#!/usr/bin/env bash
# Builds the program (Release) and starts it on the bundled demo data. Without a display it runs
# the main jobs through the command line and writes the results to out/.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
fenpai_install_deps

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DFENPAI_BUILD_TESTS=OFF -DFENPAI_BUILD_BENCH=OFF
cmake --build build -j"$(nproc)" --target fenpai

fenpai=build/src/fenpai
data=out/data
mkdir -p out "$data"

echo "== 数据目录 $data"
"$fenpai" --data-dir "$data" repair
"$fenpai" --data-dir "$data" sql "select 项目,数值,类别 from xtsztable" > out/xtsztable.csv

# -- import of the demo workbooks --

# -- class division --

# -- exam room arrangement --

# -- documents --

"$fenpai" --data-dir "$data" tables | tee out/tables.txt
echo "结果已写入 out/"
