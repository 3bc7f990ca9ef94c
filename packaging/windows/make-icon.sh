#!/usr/bin/env bash
# Remakes tarvo.ico, the Windows icon of the program, from the same drawing as ../tarvo.svg (five
# drawn balls on a red ticket with a rising plan line), with ImageMagick's own drawing primitives
# because Debian's ImageMagick reads no SVG without extra delegates. Sizes 16 to 256 pixels.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

drawing=(
    -fill '#d6322a' -stroke '#7d1410' -strokewidth 4 -draw 'roundrectangle 12,12 244,244 44,44'
    -draw "fill none stroke '#ffd54a' stroke-width 10 stroke-linecap round stroke-linejoin round
           polyline 40,196 84,170 122,182 164,132 214,104"
    -fill '#ffd54a' -stroke none -draw 'polygon 214,84 226,112 198,108'
    -font DejaVu-Sans-Bold -pointsize 26
)
for ball in "52 72 03" "102 72 11" "152 72 07" "202 72 01" "77 120 05"; do
    read -r x y number <<<"$ball"
    drawing+=(-fill '#fff6e0' -draw "circle $x,$y $((x + 24)),$y")
    drawing+=(-fill '#b3201a' -draw "text $((x - 16)),$((y + 9)) '$number'")
done
convert -size 256x256 xc:none "${drawing[@]}" "PNG32:$work/tarvo-256.png"
convert "$work/tarvo-256.png" -define icon:auto-resize=256,64,48,32,24,16 tarvo.ico
echo "wrote $(pwd)/tarvo.ico"
