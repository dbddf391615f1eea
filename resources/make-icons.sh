#!/usr/bin/env bash
# Renders each window icon from its vector source into 16, 32 and 48 pixel PNGs in 16
# colours, and packs the 16 and 32 pixel images into a Windows .ico.
# Needs librsvg2-bin, imagemagick and icoutils. Usage: resources/make-icons.sh NAME...
# (NAME-icon.svg in, NAME-16.png, NAME-32.png, NAME-48.png and NAME.ico out).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
for name in "$@"; do
    for size in 16 32 48; do
        rsvg-convert -w "$size" -h "$size" "$name-icon.svg" -o "$name-$size.tmp.png"
        convert "$name-$size.tmp.png" -dither None -colors 16 "PNG32:$name-$size.png"
        rm "$name-$size.tmp.png"
    done
    icotool --create --output="$name.ico" "$name-16.png" "$name-32.png"
done
