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
# The demo school's own titles on every report, instead of the placeholders.
"$fenpai" --data-dir "$data" titles --left "城关中学" --right "2026-2027学年第一学期期中考试" \
    --date on
"$fenpai" --data-dir "$data" sql "select 项目,数值,类别 from xtsztable" > out/xtsztable.csv

# -- import of the demo workbooks --
# The bundled demo data (remade by `fenpai demo resources/demo`); every run starts from it.
"$fenpai" --data-dir "$data" import division "resources/demo/分班数据.xlsx" | tee out/import.txt
"$fenpai" --data-dir "$data" import arrangement "resources/demo/考场编排数据.xlsx" \
    | tee -a out/import.txt
"$fenpai" --data-dir "$data" import scores "resources/demo/成绩数据.xlsx" | tee -a out/import.txt
"$fenpai" --data-dir "$data" sql "select count(*) from 分班数据表" > out/import-pupils.csv
"$fenpai" --data-dir "$data" sql \
    "select (select count(*) from 考生表) as 考生, (select count(*) from 考场表) as 考场" \
    > out/import-examinees.csv

# -- class division --
# Twelve classes balanced in score, sex and source school; then every pupil's class.
if grep -q '^分班数据表' <<<"$("$fenpai" --data-dir "$data" tables)"; then
    "$fenpai" --data-dir "$data" divide --classes 12 --sex --school --refine | tee out/divide.txt
    "$fenpai" --data-dir "$data" sql "select 姓名,性别,成绩,原学校,新分班 from 分班数据表 order by 新分班,成绩 desc" \
        > out/divide-pupils.csv
    # What the division reached against what the intake allows and against random divisions.
    "$fenpai" --data-dir "$data" report balance --format pdf -o out/分班均衡报告.pdf
else
    echo "== 没有分班数据表，跳过分班"
fi

# -- exam room arrangement --
# Each mode once on the imported examinees; the default mode runs last, so what follows sees it.
if grep -q '^考生表' <<<"$("$fenpai" --data-dir "$data" tables)"; then
    "$fenpai" --data-dir "$data" arrange --mode 3 | tee out/arrange-mode3.txt
    "$fenpai" --data-dir "$data" arrange --mode 2 --prefix 210 | tee out/arrange-mode2.txt
    # The last run also parts classmates who would sit side by side.
    "$fenpai" --data-dir "$data" arrange --mode 1 --groups 3 --separate-classmates \
        | tee out/arrange-mode1.txt
    "$fenpai" --data-dir "$data" sql "select 学校,班级,姓名,考场,座位号,考号 from 考生表 order by 考号" \
        > out/arrange-examinees.csv
else
    echo "== 没有考生表，跳过考场编排"
fi

# -- documents --
# A few result documents as the window shows and prints them.
if grep -q '^考生表' <<<"$("$fenpai" --data-dir "$data" tables)"; then
    "$fenpai" --data-dir "$data" show 考生表 --format pdf -o out/考生表.pdf
    "$fenpai" --data-dir "$data" show 考生表 --format xlsx -o out/考生表.xlsx
    "$fenpai" --data-dir "$data" show 考场表 --format html -o out/考场表.html
fi
if grep -q '^分班数据表' <<<"$("$fenpai" --data-dir "$data" tables)"; then
    "$fenpai" --data-dir "$data" sql "DROP VIEW IF EXISTS NewQry3"
    "$fenpai" --data-dir "$data" sql "CREATE VIEW NewQry3 AS select 新分班,Count([姓名]) as 学生数,\
Count(iif([性别]='男',1,null)) as 男生,Count(iif([性别]='女',1,null)) as 女生,max(成绩) as 最高分,\
min(成绩) as 最低分,avg(成绩) as 平均分 from 分班数据表  GROUP BY 新分班"
    "$fenpai" --data-dir "$data" show NewQry3 --title 新分班基本情况表 --report statistics \
        --format pdf -o out/新分班基本情况表.pdf
fi

# -- reports --
"$fenpai" --data-dir "$data" report score-info --format pdf -o out/基本情况表.pdf
"$fenpai" --data-dir "$data" report score-info --format csv -o out/基本情况表.csv
if grep -q '^考生表' <<<"$("$fenpai" --data-dir "$data" tables)"; then
    "$fenpai" --data-dir "$data" report room-list 1 --format pdf -o out/第1考场考生名单.pdf
    "$fenpai" --data-dir "$data" report brief-stats --format pdf -o out/考场编排统计表.pdf
    "$fenpai" --data-dir "$data" report first-last --format pdf -o out/各考场首尾考号.pdf
    "$fenpai" --data-dir "$data" check mixing | tee out/mixing.txt | tail -1
    # Admission tickets, desk labels and the seat charts of every room.
    "$fenpai" --data-dir "$data" tickets --room 1 -o out/第1考场准考证.pdf
    "$fenpai" --data-dir "$data" labels --room 1 --seat -o out/第1考场桌贴.pdf
    "$fenpai" --data-dir "$data" seats --room all -o out/座位表.pdf
    # The exam-day sheets: the sign-in sheet of room 1 and a door sheet for every room.
    "$fenpai" --data-dir "$data" sheets --room 1 --kind sign-in -o out/第1考场签到表.pdf
    "$fenpai" --data-dir "$data" sheets --room all --kind door -o out/门贴.pdf
fi

# Where the year stands, as the window's start page shows it.
"$fenpai" --data-dir "$data" status | tee out/status.txt
"$fenpai" --data-dir "$data" tables | tee out/tables.txt
echo "结果已写入 out/"

# With a display, the window opens on the same data (user admin, password admin).
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    exec "$fenpai" --data-dir "$data"
fi
