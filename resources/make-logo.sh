#!/usr/bin/env bash
# Draws the About window's logo: an 88 x 31 badge of the provider, Ampero, with the
# program's yellow lightning bolt, saved as a JPEG. Needs imagemagick and fonts-liberation2.
# Usage: resources/make-logo.sh (writes about-logo.jpg and about-logo.bmp beside it).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
# The bolt of form1-icon.svg, scaled to 0.8 and moved 3 pixels right and down.
bolt='polygon 18.2,3.8 7.8,17.4 14.2,17.4 11.8,27.8 23.8,12.6 17.4,12.6 20.6,3.8'
convert -size 88x31 gradient:'#2a5cc8-#0b1d4a' \
    -fill none -stroke '#9fb4e8' -strokewidth 1 -draw 'rectangle 0.5,0.5 87.5,30.5' \
    -fill '#ffff00' -stroke black -strokewidth 1 -draw "$bolt" \
    -font Liberation-Sans-Bold -pointsize 15 -fill white -stroke none \
    -gravity West -annotate +28+1 'Ampero' \
    -strip -sampling-factor 1x1 -quality 92 about-logo.jpg
# The Windows program shows it from a bitmap resource: the same pixels, uncompressed.
convert about-logo.jpg -type TrueColor BMP3:about-logo.bmp
