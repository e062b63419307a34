#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
#
# SPDX-License-Identifier: MIT

# Renders the program icon (ui/assets/icon.svg) into the PNG sizes of the desktop icon theme,
# packaging/icons/NxN/icon.png (installed under the application id), and into the Windows icon
# packaging/windows/mv4016-calculator.ico with every size Windows shows (256 stored as PNG).
# Run it again after the SVG changes and commit what it writes; the builds only use them.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"

ensure_packages librsvg2-bin icoutils

svg="$ROOT/ui/assets/icon.svg"
for size in 16 32 48 64 128 256; do
    dir="$ROOT/packaging/icons/${size}x${size}"
    mkdir -p "$dir"
    rsvg-convert --width "$size" --height "$size" --format png \
        --output "$dir/icon.png" "$svg"
    echo "packaging/icons/${size}x${size}/icon.png"
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
images=()
for size in 16 20 24 32 40 48 64; do
    rsvg-convert --width "$size" --height "$size" --format png --output "$work/$size.png" "$svg"
    images+=("$work/$size.png")
done
rsvg-convert --width 256 --height 256 --format png --output "$work/256.png" "$svg"
ico="$ROOT/packaging/windows/mv4016-calculator.ico"
mkdir -p "$(dirname "$ico")"
icotool --create --output "$ico" "${images[@]}" --raw="$work/256.png"
echo "${ico#"$ROOT/"}"
