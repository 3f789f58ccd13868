#!/usr/bin/env bash
# Sets up a Debian 12 machine for Pelmora, builds it, and then either starts the program
# ("run") or runs every test ("test") under AddressSanitizer and UndefinedBehaviorSanitizer,
# checks that the program calls every function of its own code and that lintian accepts its
# Debian package, and then runs each fuzz target for a short while. "install" builds the Debian
# package and installs it; "uninstall" removes it. Root runs the package tools itself, anyone else
# through sudo.
set -euo pipefail

mode=${1:-}
if [[ $mode != run && $mode != test && $mode != install && $mode != uninstall ]]; then
    echo "usage: bash tools/setup.sh run|test|install|uninstall" >&2
    exit 2
fi

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)

if [[ $mode == uninstall ]]; then
    "${as_root[@]}" apt-get remove -y -q pelmora
    exit
fi

packages=(cmake g++ make qt6-base-dev qt6-webengine-dev qt6-translations-l10n fonts-ipafont-gothic
    libgl-dev libcurl4-openssl-dev libssl-dev qtkeychain-qt6-dev openssh-client)
[[ $mode != run ]] && packages+=(dpkg-dev)
[[ $mode == test ]] &&
    packages+=(libgtest-dev clang-format desktop-file-utils appstream clang-14 libclang-rt-14-dev
        lintian openssh-server vsftpd openssl gnome-keyring dbus-daemon xvfb python3-pyatspi
        libxcb1-dev)

# A compiler cache where the machine keeps one: ccache installed and its folder set (CCACHE_DIR).
if command -v ccache >/dev/null && [[ -n ${CCACHE_DIR:-} ]]; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
fi

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [[ ${#missing[@]} -eq 0 ]] && return
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends \
        "${missing[@]}"
}

build() { # build-dir [build options...] -- [cmake options...]
    local dir=$1 build_options=()
    shift
    while [[ $# -gt 0 && $1 != -- ]]; do
        build_options+=("$1")
        shift
    done
    shift
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
    cmake --build "$dir" -j"$(nproc)" "${build_options[@]}"
}

install_missing

if [[ $mode == run ]]; then
    # Only the program: it starts as soon as it is built.
    build build --target pelmora -- -DPELMORA_BUILD_TESTS=OFF -DPELMORA_BUILD_BENCH=OFF
    exec ./build/pelmora
fi

if [[ $mode == install ]]; then
    deb=$(bash tools/build-deb.sh build-deb | tail -n 1)
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q "./$deb"
    exit
fi

run_tests() { # build-dir [ctest options...]
    ctest --test-dir "$1" --output-on-failure --no-tests=error --timeout 300 -j"$(nproc)" "${@:2}"
}

fuzz_seconds=20

# Runs every fuzz target the build lists for fuzz_seconds, as many at once as there are cores,
# each on a fresh copy of its seeds in the build folder (the checkout stays clean). A finding
# fails the run once the targets running beside it have ended; no further target starts.
run_fuzz() { # build-dir
    local dir=$1 name seeds running=0 failed=0
    while read -r name seeds; do
        if ((running == $(nproc))); then
            wait -n || failed=1
            running=$((running - 1))
        fi
        ((failed)) && break
        fuzz_one "$dir" "$name" "$seeds" </dev/null &
        running=$((running + 1))
    done <"$dir/fuzz-targets.txt"
    while ((running > 0)); do
        wait -n || failed=1
        running=$((running - 1))
    done
    return $failed
}

fuzz_one() { # build-dir name seeds
    local dir=$1 name=$2 seeds=$3 work=$1/fuzz-runs/$2
    rm -rf "$work"
    mkdir -p "$work/corpus"
    cp -r "$seeds/." "$work/corpus/"
    echo "Fuzzing $name for $fuzz_seconds s"
    if ! "$dir/fuzz_$name" -max_total_time="$fuzz_seconds" -timeout=10 \
        -artifact_prefix="$work/" "$work/corpus" >"$work/log" 2>&1; then
        tail -n 40 "$work/log"
        echo "fuzz_$name found a fault; the input that shows it is in $work/" >&2
        return 1
    fi
}

check_format() { # every C++ file as .clang-format lays it out
    find src tests bench \( -name '*.cpp' -o -name '*.h' \) -print0 |
        xargs -0 clang-format --dry-run --Werror
}

export QT_QPA_PLATFORM=offscreen
check_format
# The program's Japanese texts use the words of docs/glossary.md.
bash tools/check-terms.sh
# Each folder includes only the folders before it in docs/ARCHITECTURE.md's map.
bash tools/check-includes.sh
# The tests run once, built optimised with AddressSanitizer and UndefinedBehaviorSanitizer. The
# tests that run the preview's browser engine get the sanitizer options that engine needs from
# tests/CMakeLists.txt; every other test runs with every check. Line tables are all the
# sanitizers' reports need of the debug information.
build build-sanitize -- -DPELMORA_SANITIZE=ON -DPELMORA_BUILD_TESTS=ON -DPELMORA_BUILD_BENCH=OFF \
    -DPELMORA_WERROR=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
UBSAN_OPTIONS=print_stacktrace=1 run_tests build-sanitize
# The program carries no function that only the tests call.
build build-usage --target pelmora pelmora_utf8_to_cp932 -- -DPELMORA_USAGE_CHECK=ON \
    -DPELMORA_BUILD_TESTS=OFF -DPELMORA_BUILD_BENCH=OFF -DPELMORA_WERROR=ON
bash tools/check-unused.sh build-usage
# The Debian package as a maintainer would take it, built with the distribution's flags and no
# warning, from the same compile as the benchmarks (built so that they keep building, not run):
# lintian finds no error and no warning, and none of its notes on hardening or unstripped sections
# either.
deb=$(bash tools/build-deb.sh build-deb -DPELMORA_WERROR=ON -DPELMORA_BUILD_BENCH=ON | tail -n 1)
lintian --display-info --pedantic --fail-on error,warning "$deb" | tee build-deb/lintian.log
if grep -E 'hardening-no-(bindnow|pie|relro)|binary-has-unneeded-section' build-deb/lintian.log; then
    echo "the package's binaries are not hardened or not stripped as Debian asks" >&2
    exit 1
fi
CC=clang-14 CXX=clang++-14 build build-fuzz -- -DPELMORA_FUZZ=ON -DPELMORA_BUILD_TESTS=OFF \
    -DPELMORA_BUILD_BENCH=OFF -DPELMORA_WERROR=ON
run_fuzz build-fuzz
echo "All tests passed."
