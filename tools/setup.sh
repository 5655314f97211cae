#!/usr/bin/env bash
# Installs what building, running and testing TavroFx needs on Debian or Ubuntu.
# Sourced by run.sh and test.sh; only calls apt-get when something is missing.
set -euo pipefail

tavro_packages_common=(
    cmake ninja-build g++ pkg-config ccache
    juce-modules-source
    libflac-dev libvorbis-dev libogg-dev libpng-dev libjpeg-dev zlib1g-dev
    libasound2-dev libjack-jackd2-dev libfreetype-dev libcurl4-openssl-dev
    libx11-dev libxrandr-dev libxinerama-dev libxcursor-dev libxext-dev libxcomposite-dev
    fonts-urw-base35 fonts-dejavu-core
)
tavro_packages_test=(
    libgtest-dev libbenchmark-dev xvfb xauth xdotool x11-utils jackd2
    clang-14 libclang-rt-14-dev
)

tavro_missing_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    echo "${missing[@]:-}"
}

tavro_install() {
    local wanted=("${tavro_packages_common[@]}")
    [ "${1:-}" = "test" ] && wanted+=("${tavro_packages_test[@]}")

    # Either Liberation package provides the families the interface's fonts map to.
    if ! dpkg-query -W -f='${Status}' fonts-liberation2 2>/dev/null | grep -q "install ok installed" &&
       ! dpkg-query -W -f='${Status}' fonts-liberation 2>/dev/null | grep -q "install ok installed"; then
        wanted+=(fonts-liberation2)
    fi

    local missing
    missing=$(tavro_missing_packages "${wanted[@]}")
    [ -z "$missing" ] && return 0

    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: $missing"
    $sudo apt-get update -qq
    # jackd2 asks about real-time priority; answer it without a prompt.
    echo "jackd2 jackd/tweak_rt_limits boolean false" | $sudo debconf-set-selections 2>/dev/null || true
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $missing
}

tavro_ccache_env() {
    # Clones in other folders hash like this one, so CI reuses the developer's cache.
    export CCACHE_BASEDIR="$1"
    export CCACHE_NOHASHDIR=1
    export CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-10G}"
}
