#!/usr/bin/env bash
# Builds the Debian package of the installed program (prefix /usr) into a build folder of its own
# with the distribution's compiler and linker flags, hardening included (stack protector,
# FORTIFY, PIE, relro, BIND_NOW), and prints the package's path.
# Usage: bash tools/build-deb.sh [build-dir [cmake options...]]   (build-deb by default)
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
dir=${1:-build-deb}
shift || true

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# CMake takes no CPPFLAGS of its own: FORTIFY comes with the compiler's flags.
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
# Build type None: the flags above alone, as Debian builds a CMake project.
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
    -DPELMORA_BUILD_TESTS=OFF -DPELMORA_BUILD_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" -DCMAKE_MODULE_LINKER_FLAGS="$ldflags" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)" >&2
rm -f "$dir"/pelmora_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/pelmora_*.deb
