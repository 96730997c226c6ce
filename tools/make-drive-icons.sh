#!/bin/sh
# Draws the five drive icons (removable, fixed, network, CD-ROM, RAM disk) into res/.
set -e
out="$(cd "$(dirname "$0")/.." && pwd)/res"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pack() {   # the 32x32 picture $tmp/$1.png with a 16x16 copy into res/$1.ico
    convert "$tmp/$1.png" -resize 16x16 "$tmp/$1-16.png"
    convert "$tmp/$1.png" "$tmp/$1-16.png" "$out/$1.ico"
}
convert -size 32x32 xc:none -stroke black -fill '#2040a0' -draw 'rectangle 5,4 26,27' \
    -fill '#c0c0c0' -draw 'rectangle 10,4 21,12' -fill '#404040' -draw 'rectangle 17,6 19,10' \
    -fill white -draw 'rectangle 9,17 22,27' "$tmp/drive-removable.png"
convert -size 32x32 xc:none -stroke black -fill '#a0a0a0' -draw 'rectangle 2,11 29,22' \
    -stroke '#606060' -draw 'line 4,19 20,19' -stroke none -fill '#00e000' -draw 'rectangle 24,17 27,19' \
    "$tmp/drive-fixed.png"
convert -size 32x32 xc:none -stroke black -fill '#a0a0a0' -draw 'rectangle 2,5 29,16' \
    -draw 'line 15,16 15,24' -draw 'line 5,24 26,24' -fill '#2060ff' -draw 'rectangle 2,22 8,28' \
    -draw 'rectangle 23,22 29,28' -stroke none -fill '#00e000' -draw 'rectangle 24,11 27,13' \
    "$tmp/drive-network.png"
convert -size 32x32 xc:none -stroke '#606060' -fill '#d8d8e8' -draw 'circle 16,16 16,2' \
    -stroke none -fill '#a0c0ff' -draw 'circle 16,16 16,9' -fill none -stroke '#606060' \
    -draw 'circle 16,16 16,13' "$tmp/drive-cdrom.png"
convert -size 32x32 xc:none -stroke black -fill '#208020' -draw 'rectangle 3,9 28,22' \
    -fill '#202020' -draw 'rectangle 7,12 12,19' -draw 'rectangle 14,12 19,19' -draw 'rectangle 21,12 26,19' \
    -stroke none -fill '#e0c040' -draw 'rectangle 5,23 7,27' -draw 'rectangle 11,23 13,27' \
    -draw 'rectangle 17,23 19,27' -draw 'rectangle 23,23 25,27' "$tmp/drive-ramdisk.png"
for name in drive-removable drive-fixed drive-network drive-cdrom drive-ramdisk; do pack "$name"; done
