#!/usr/bin/env bash
# The window check: starts the program on the demo data under Xvfb (1366x768) with openbox and a
# D-Bus session, its accessibility bridge on, and reads the window through the accessibility bus
# (scripts/windowcheck.py): the start page's links, the import menu, 报表标题设置, 刷新, the toolbars' names, tooltips
# and enabled states with and without a document, the login dialog. Not part of ./test.sh: it
# needs a display server and a session bus.
#
#   scripts/windowcheck.sh [BUILD_DIR]     (default: build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
fenpai_packages+=(openbox xdotool at-spi2-core python3-pyatspi dbus-x11)
fenpai_install_deps

build=${1:-build-asan}
cmake --build "$build" -j"$(nproc)" --target fenpai
fenpai=$PWD/$build/src/fenpai

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset FENPAI_DATA_DIR QT_QPA_PLATFORM
# A sanitized build reports libdbus's leak under Xvfb; it is not ours.
export ASAN_OPTIONS=detect_leaks=0
data=$work/data
"$fenpai" --data-dir "$data" import division "resources/demo/分班数据.xlsx" >/dev/null

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done
openbox &
pids+=($!)
eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$fenpai" --data-dir "$data" &
pids+=($!)
/usr/bin/python3 scripts/windowcheck.py
