#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG. The PNGs are committed, so the build
# does not need this; run it after changing the SVG (needs rsvg-convert, Debian's librsvg2-bin).
set -euo pipefail

id=io.github.quillbrook.QuillBrook
icons="$(cd "$(dirname "$0")/.." && pwd)/data/icons/hicolor"
svg="$icons/scalable/apps/$id.svg"

for size in 16 32 48 64 128 256; do
    mkdir -p "$icons/${size}x${size}/apps"
    rsvg-convert --width "$size" --height "$size" --output "$icons/${size}x${size}/apps/$id.png" "$svg"
done
