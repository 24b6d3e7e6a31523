#!/usr/bin/env bash
# Draws the tray icons (one per note colour) and the application icon into data/icons with
# ImageMagick. Each icon is drawn at 256 px and scaled down, which gives smooth edges.
set -euo pipefail
out=${1:-$(dirname "$0")/../data/icons}
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

outline='#2b2b2b'
ink='#000080'

# note <fill> <fold shade> <file>: a sticky note with a folded corner and three lines of text.
note() {
  convert -size 256x256 xc:none \
    -stroke "$outline" -strokewidth 14 -fill "$1" \
    -draw "polygon 26,26 230,26 230,178 178,230 26,230" \
    -fill "$2" -draw "polygon 178,230 178,178 230,178" \
    -stroke none -fill "$ink" \
    -draw "roundrectangle 54,68 202,84 8,8" -draw "roundrectangle 54,112 202,128 8,8" \
    -draw "roundrectangle 54,156 146,172 8,8" \
    "$3"
}

declare -A fills=([giallo]='rgb(255,255,213)' [azzurro]='rgb(221,255,255)' [verde]='rgb(221,255,221)')
declare -A folds=([giallo]='rgb(224,224,150)' [azzurro]='rgb(150,215,215)' [verde]='rgb(150,215,150)')

for colour in giallo azzurro verde; do
  note "${fills[$colour]}" "${folds[$colour]}" "$tmp/$colour.png"
  for size in 16 22 32 48 64; do
    convert "$tmp/$colour.png" -filter Lanczos -resize ${size}x${size} \
      -channel A -fx "a<0.03?0:a" +channel \
      -depth 8 -define png:exclude-chunks=date,time -strip "$out/tray-$colour-$size.png"
  done
done

# Application icon: the three colours as a fanned stack, yellow on top.
convert -size 256x256 xc:none \
  \( "$tmp/verde.png" -resize 176x176 \) -geometry +72+8 -composite \
  \( "$tmp/azzurro.png" -resize 176x176 \) -geometry +40+40 -composite \
  \( "$tmp/giallo.png" -resize 176x176 \) -geometry +8+72 -composite \
  "$tmp/promemo.png"
for size in 16 22 32 48 64 128; do
  convert "$tmp/promemo.png" -filter Lanczos -resize ${size}x${size} \
      -channel A -fx "a<0.03?0:a" +channel \
    -depth 8 -define png:exclude-chunks=date,time -strip "$out/promemo-$size.png"
done
