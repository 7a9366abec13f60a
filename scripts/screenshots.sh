#!/usr/bin/env bash
# Takes the manual's screenshots (resources/help/images/*.png) from the real program on the demo
# data: Xvfb at 1366x768 with openbox, the program driven through its menus and dialogs with
# xdotool, every picture grabbed with ImageMagick. Run it again whenever a dialog changes.
#
#   scripts/screenshots.sh [BUILD_DIR]     (default: build, made Release when missing)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
fenpai_packages+=(openbox xdotool imagemagick)
fenpai_install_deps

build=${1:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DFENPAI_BUILD_TESTS=OFF \
        -DFENPAI_BUILD_BENCH=OFF
fi
cmake --build "$build" -j"$(nproc)" --target fenpai
fenpai=$PWD/$build/src/fenpai
images=$PWD/resources/help/images
mkdir -p "$images"

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# A fresh home: no remembered window placement or dialog choices, the same pictures every time.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset FENPAI_DATA_DIR QT_QPA_PLATFORM
# A sanitized build reports libdbus's leak under Xvfb; it is not ours.
export ASAN_OPTIONS=detect_leaks=0
data=$work/data

echo "== 演示数据"
"$fenpai" --data-dir "$data" import division "resources/demo/分班数据.xlsx"
"$fenpai" --data-dir "$data" import arrangement "resources/demo/考场编排数据.xlsx"
"$fenpai" --data-dir "$data" import scores "resources/demo/成绩数据.xlsx"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done
openbox &
pids+=($!)
sleep 1

pause() { sleep "${1:-0.8}"; }
key() {
    xdotool key --delay 150 "$@"
    pause
}
click() { # click WINDOW X Y, in the window's own coordinates; the pointer then leaves, so
    # that no tooltip or hover shows in the next picture
    xdotool mousemove --window "$1" "$2" "$3" click 1 mousemove 1365 767
    pause
}
# A tooltip: the pointer rests on (X, Y) of WINDOW, then the window and the tooltip are grabbed
# from the screen.
grab_tooltip() { # grab_tooltip NAME WINDOW X Y
    xdotool mousemove --window "$2" "$3" "$4"
    pause 2.5
    local x y w h
    eval "$(xwininfo -id "$2" | awk '/Absolute upper-left X/ {print "x=" $NF}
        /Absolute upper-left Y/ {print "y=" $NF} /Width/ {print "w=" $NF} /Height/ {print "h=" $NF}')"
    # With openbox's frame (_NET_FRAME_EXTENTS): 1 pixel at the sides, 20 on top, 5 below.
    import -silent -window root -crop "$((w + 2))x$((h + 25))+$((x - 1))+$((y - 20))" +repage \
        "$images/$1.png"
    echo "   $1.png"
    xdotool mousemove 1365 767
    pause
}
# Picks the first entry of the combo box at (X, Y) of WINDOW, or the Nth with a fourth argument.
choose() {
    click "$1" "$2" "$3"
    for _ in $(seq "${4:-1}"); do xdotool key Down; done
    key Return
}
# Waits for a visible window titled exactly $1 (other than the main window) and activates it.
await() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "${main:-0}" | tail -1) || true
        [ -n "$id" ] && break
        sleep 0.2
    done
    [ -n "$id" ] || { echo "no window $1" >&2; exit 1; }
    xdotool windowactivate --sync "$id" 2>/dev/null || true
    pause 1
    echo "$id"
}
grab() { # grab NAME [WINDOW]: a window with its frame, the whole screen without one
    if [ -n "${2:-}" ]; then
        import -silent -frame -window "$2" "$images/$1.png"
    else
        import -silent -window root "$images/$1.png"
    fi
    echo "   $1.png"
}
# Opens the File menu with 导入数据 active, whichever of its entries are enabled: its key D opens
# its submenu, Escape goes back. 登录, 数据信息 and 浏览 stand right above it.
file_menu_at_import() {
    key alt+f
    key d
    key Escape
}
# The program on the data, its window filling the screen, user admin logged in. Each scene starts
# it afresh, so that its one document fills the window.
start() {
    [ -n "${app:-}" ] && { kill "$app"; wait "$app" 2>/dev/null || true; }
    "$fenpai" --data-dir "$data" &
    app=$!
    pids+=("$app")
    main=""
    main=$(await 分班排考)
    xdotool windowsize --sync "$main" 1364 742 windowmove --sync "$main" 1 21
    pause 1
    # The start page as a new user first sees it: logged out, over the empty work area.
    [ "${1:-}" = grab-login ] && grab start-page
    file_menu_at_import
    key Up Return # 文件 → 登录
    local login
    login=$(await 登录)
    xdotool type --delay 80 admin
    key Tab
    xdotool type --delay 80 admin
    [ "${1:-}" = grab-login ] && grab login "$login"
    key Return
    await 登录 >/dev/null # "登录成功!"
    key Return
}
# The active document filling the window's work area (窗口 → 横向平铺 with one document).
fill() {
    key alt+w
    key Down Down Return
    pause 1
}
# Menus by keyboard: 分班 has no letter of its own, so it is reached from 考场编排 by Left.
division_menu() {
    key alt+k
    key Left "$@" Return
}
exam_menu() {
    key alt+k
    key "$@" Return
}

echo "== 截图"
start grab-login
file_menu_at_import
key Up Up Up Right Return # 文件 → 浏览 → 分班数据表
fill
grab main
key alt+f
key d # 文件 → 导入数据
import -silent -window root -crop 420x240+0+0 +repage "$images/import-menu.png"
echo "   import-menu.png"
key Escape Escape Escape

# A school's own list, in GBK with its own headers: the mapping step, then cancelled, so the demo
# data stays.
{ printf '考生姓名,性 别,中考成绩,毕业学校\r\n'
  for i in $(seq 1 8); do
      printf '学生%d,%s,%d,%s\r\n' "$i" "$([ $((i % 2)) = 0 ] && echo 女 || echo 男)" \
          $((420 + i * 13 % 90)) "$([ $((i % 3)) = 0 ] && echo 实验小学 || echo 城关一中)"
  done; } | iconv -f UTF-8 -t GBK > "$work/intake.csv"
key alt+f
key d f # 文件 → 导入数据 → 新生分班数据
await 导入数据 >/dev/null
xdotool type --delay 40 "$work/intake.csv"
key Return
grab import-mapping "$(await 导入：对应字段)"
key Escape

# The road of a division: the dialog, 12 classes balanced in sex and schools, refined.
division_menu
dialog=$(await 分班)
key Tab ctrl+a
xdotool type 12
key Tab space Tab space Tab space
grab division "$dialog"
key Return
grab division-done "$(await 分班排考)"
key Return
# The balance report of that division as it prints: its first three pages side by side.
"$fenpai" --data-dir "$data" report balance -o "$work/balance.pdf" >/dev/null 2>&1
pdftoppm -r 50 -png -f 1 -l 3 "$work/balance.pdf" "$work/balance"
convert "$work"/balance-*.png -bordercolor '#999999' -border 1 +append "$images/balance-report.png"
echo "   balance-report.png"

start
division_menu Down Down # 新班统计
fill
grab newclass-stats
division_menu Down # 手工调整
dialog=$(await 手工调整)
choose "$dialog" 116 427 1
choose "$dialog" 580 427 2
click "$dialog" 150 480
grab class-adjust "$dialog"
key Escape

# The road of an arrangement: mode 1 as the dialog opens, classmates parted.
exam_menu
dialog=$(await 考场编排)
grab_tooltip arrangement-tip "$dialog" 200 84 # 相邻班级的学生编排在一起
click "$dialog" 19 370 # 同班考生不相邻
grab arrangement "$dialog"
key Return
await 分班排考 >/dev/null # "编排完成!"
key Return

start
key alt+k
key Down Down Right Right Down Down # 浏览 → 按考场 → 1
import -silent -window root -crop 640x420+0+0 +repage "$images/room-menu.png"
echo "   room-menu.png"
key Return
fill
grab room-list
key alt+f
key u # 文件 → 页面设置, the File menu's only U
grab page-setup "$(await 页面设置)"
key Escape

start
exam_menu Down Down Right Right Right Down # 浏览 → 按考场 → 座位表 → 1
fill
grab seat-chart
exam_menu Up # 混排检测
dialog=$(await 混排检测)
grab mixing-check "$dialog"
key Escape
exam_menu Down # 手工调整
dialog=$(await 考场编排手工调整)
choose "$dialog" 105 24 1
choose "$dialog" 571 24 2
click "$dialog" 120 95
click "$dialog" 590 115
grab exam-swap "$dialog"
key Escape

# Tickets of the first class, then the desk labels of room 1, each in its print preview.
exam_menu Up Up # 制作准考证
dialog=$(await 制作准考证)
choose "$dialog" 72 650
choose "$dialog" 177 650
grab tickets "$dialog"
click "$dialog" 862 695
preview=$(await 打印预览)
xdotool windowsize --sync "$preview" 1000 700
pause 2
grab tickets-preview "$preview"
key Escape
xdotool windowactivate --sync "$dialog"
click "$dialog" 139 27
choose "$dialog" 116 206
click "$dialog" 862 695
preview=$(await 打印预览)
xdotool windowsize --sync "$preview" 1000 700
pause 2
grab labels "$preview"
key Escape
xdotool windowactivate --sync "$dialog"
key Escape

key alt+h
key a # 帮助 → 关于
grab about "$(await "关于 分班排考")"
key Escape

kill "$app"
# Without their time stamps the pictures change only when what they show does.
mogrify -strip "$images"/*.png
echo "截图已写入 $images"
