#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need, only when some are
# missing. Sourced by run.sh and test.sh.
fenpai_packages=(
    cmake g++ pkg-config ccache git clang-format
    qt6-base-dev libsqlite3-dev libzip-dev
    libxlsxwriter-dev libsodium-dev libuchardet-dev libqpdf-dev libqrencode-dev libgtest-dev
    libbenchmark-dev libzbar-dev zbar-tools
    qt6-translations-l10n tango-icon-theme
    fonts-noto-cjk fonts-liberation2 xvfb xauth poppler-utils
    dpkg-dev file
)

fenpai_install_deps() {
    local missing=()
    for p in "${fenpai_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
