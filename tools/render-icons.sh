#!/usr/bin/env bash
# Renders the program's PNG icons from its two SVG drawings (needs rsvg-convert, Debian package
# librsvg2-bin). The PNGs are kept in the repository, so the build itself never needs this.
set -euo pipefail

icons=$(cd "$(dirname "${BASH_SOURCE[0]}")/../data/icons" && pwd)
name=io.github.pelmora.Pelmora

for size in 16 24 32 48 64 128 256; do
    # The small drawing has fewer lines and thicker strokes, so it stays readable.
    source=$icons/hicolor/scalable/apps/$name.svg
    [[ $size -le 24 ]] && source=$icons/$name-small.svg
    mkdir -p "$icons/hicolor/${size}x$size/apps"
    rsvg-convert -w "$size" -h "$size" "$source" -o "$icons/hicolor/${size}x$size/apps/$name.png"
done
