#!/usr/bin/env bash
# Renders the program icon (ui/assets/icon.svg) into the PNG sizes of the desktop icon theme,
# under packaging/icons/NxN/, named after the application id. Run it again after the SVG
# changes and commit the PNGs; the build only installs them.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

ensure_packages librsvg2-bin

svg="$ROOT/ui/assets/icon.svg"
for size in 16 32 48 64 128 256; do
    dir="$ROOT/packaging/icons/${size}x${size}"
    mkdir -p "$dir"
    rsvg-convert --width "$size" --height "$size" --format png \
        --output "$dir/$APP_ID.png" "$svg"
    echo "packaging/icons/${size}x${size}/$APP_ID.png"
done
