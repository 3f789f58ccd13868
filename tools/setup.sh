#!/usr/bin/env bash
# Sets up a Debian 12 machine for Pelmora, builds it, and then either starts the program
# ("run") or runs every test ("test"), the second time under AddressSanitizer and
# UndefinedBehaviorSanitizer as well.
set -euo pipefail

mode=${1:-}
if [[ $mode != run && $mode != test ]]; then
    echo "usage: bash tools/setup.sh run|test" >&2
    exit 2
fi

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

packages=(cmake g++ make qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic libgl-dev
          libgtest-dev)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [[ ${#missing[@]} -eq 0 ]] && return
    echo "Installing: ${missing[*]}"
    local sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    "${sudo[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
}

build() { # build-dir [cmake options...]
    local dir=$1
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j"$(nproc)"
}

install_missing

if [[ $mode == run ]]; then
    build build -DPELMORA_BUILD_TESTS=OFF
    exec ./build/pelmora
fi

export QT_QPA_PLATFORM=offscreen
build build -DPELMORA_BUILD_TESTS=ON
ctest --test-dir build --output-on-failure -j"$(nproc)"
build build-sanitize -DPELMORA_SANITIZE=ON
UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)"
echo "All tests passed."
