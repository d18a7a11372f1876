#!/usr/bin/env bash
# Installs the Debian packages Lorimand needs, when they are missing. Sourced by
# run.sh, which needs only what building and running takes, and by test.sh,
# which adds the tools of the tests and checks: `lorimand_install_missing build`
# or `lorimand_install_missing build test`.
set -euo pipefail

# Building the two programs, and the fonts the window draws with. The window's
# translations take Qt's lupdate and lrelease with their CMake functions, the
# translated manual pages po4a, and Qt's own dialogs in the user's language
# Qt's translations.
lorimand_build_packages=(
    cmake ninja-build g++ qt6-base-dev libgl1-mesa-dev libcli11-dev
    qt6-tools-dev qt6-l10n-tools po4a qt6-translations-l10n
    fonts-dejavu-core fonts-symbola
)
lorimand_test_packages=(
    # Tests turn accessibility on as a screen reader would, through Qt's platform layer.
    qt6-base-private-dev
    # The end-to-end tests: a scratch X server, a window manager, simulated input.
    xvfb xdotool openbox
    # The packaging checks and the Debian package.
    desktop-file-utils appstream dpkg-dev man-db lintian
    # The checks of scripts/test.sh: sanitizer runtimes, libFuzzer, symbolised
    # stack traces, formatting and static analysis.
    clang libclang-rt-14-dev llvm clang-format clang-tidy
)

lorimand_install_missing() {
    local wanted=() missing=()
    for group in "$@"; do
        local -n list="lorimand_${group}_packages"
        wanted+=("${list[@]}")
    done
    for pkg in "${wanted[@]}"; do
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
