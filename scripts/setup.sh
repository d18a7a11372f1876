#!/usr/bin/env bash
# Installs the Debian packages that building and testing Lorimand need, when
# they are missing. Sourced by run.sh and test.sh.
set -euo pipefail

lorimand_packages=(
    cmake ninja-build g++ qt6-base-dev libgl1-mesa-dev libcli11-dev
    # Tests turn accessibility on as a screen reader would, through Qt's platform layer.
    qt6-base-private-dev
    fonts-dejavu-core fonts-symbola xvfb xdotool openbox
    desktop-file-utils appstream dpkg-dev man-db
    # The checks of scripts/test.sh: sanitizer runtimes, libFuzzer, symbolised
    # stack traces, formatting and static analysis.
    clang libclang-rt-14-dev llvm clang-format clang-tidy
)

lorimand_install_missing() {
    local missing=()
    for pkg in "${lorimand_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
    fi
}

lorimand_install_missing
