#!/usr/bin/env bash
# Draw the banner (banner.png, 1025 x 66) and the program icon (icon.png,
# 256 x 256, transparent, and its smaller sizes icon-128.png and icon-48.png
# for the icon theme) with ImageMagick. icon.svg is the same drawing by hand
# as a vector picture, for the scalable icon of the theme.  Needs the packages imagemagick
# and fonts-noto-cjk.  Run from anywhere; the pictures are written next to
# this script.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
banner="$here/banner.png"
icon="$here/icon.png"

if command -v magick >/dev/null 2>&1; then
    im=(magick)
else
    im=(convert)
fi

# Pick a bold Simplified Chinese face: by ImageMagick's font name if it knows
# it, else the font file itself.
pick_font() {
    local name
    for name in Noto-Serif-CJK-SC-Bold Noto-Sans-CJK-SC-Bold; do
        if "${im[@]}" -list font 2>/dev/null | grep -qx "  Font: $name"; then
            echo "$name"
            return
        fi
    done
    local file
    for file in /usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc \
                /usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc; do
        if [[ -r $file ]]; then
            echo "$file"
            return
        fi
    done
    echo "make-pictures.sh: no bold CJK font found (install fonts-noto-cjk)" >&2
    exit 1
}
font="$(pick_font)"

# Points of a five-pointed star, tip up: star CX CY OUTER INNER [ANGLE]
star() {
    awk -v cx="$1" -v cy="$2" -v ro="$3" -v ri="$4" -v rot="${5:-0}" 'BEGIN {
        pi = atan2(0, -1)
        for (i = 0; i < 10; i++) {
            r = (i % 2) ? ri : ro
            a = (-90 + rot + i * 36) * pi / 180
            printf "%s%.2f,%.2f", (i ? " " : ""), cx + r * cos(a), cy + r * sin(a)
        }
    }'
}

# Colours
navy='#1b3a6b'
red='#b3202a'
darkred='#8c1820'
gold='#d9a930'
lightgold='#f2d27a'

# ---------------------------------------------------------------- banner --
w=1025
h=66
ex=987            # centre of the emblem
ey=31

# Small gold dots between the two rings of the emblem.
dots=()
while read -r dx dy; do
    dots+=(-draw "circle $dx,$dy $dx,$(awk -v y="$dy" 'BEGIN { printf "%.2f", y + 0.9 }')")
done < <(awk -v cx="$ex" -v cy="$ey" 'BEGIN {
    pi = atan2(0, -1)
    for (i = 0; i < 24; i++) {
        a = i * 15 * pi / 180
        printf "%.2f %.2f\n", cx + 21.5 * cos(a), cy + 21.5 * sin(a)
    }
}')

"${im[@]}" -size "${h}x${w}" gradient:'#d3e3f4-#fbfdff' -rotate 90 \
    \( -size "${w}x${h}" gradient:'#ffffff-#e3edf8' -alpha set -channel A -evaluate set 55% +channel \) \
    -compose over -composite \
    -fill '#c9daee' -draw "rectangle 0,0 $((w - 1)),1" \
    -fill "$gold" -draw "rectangle 0,$((h - 5)) $((w - 1)),$((h - 4))" \
    -fill "$navy" -draw "rectangle 0,$((h - 3)) $((w - 1)),$((h - 1))" \
    -stroke none \
    -fill "$darkred"  -draw "circle $ex,$((ey + 1)) $((ex + 27)),$((ey + 1))" \
    -fill "$gold"     -draw "circle $ex,$ey $((ex + 26)),$ey" \
    -fill "$red"      -draw "circle $ex,$ey $((ex + 24)),$ey" \
    -fill none -stroke "$gold" -strokewidth 1.2 -draw "circle $ex,$ey $((ex + 19)),$ey" \
    -stroke none -fill "$gold" "${dots[@]}" \
    -draw "polygon $(star "$ex" "$((ey + 1))" 14 5.6)" \
    -fill "$lightgold" -draw "polygon $(star "$ex" "$((ey + 1))" 5.6 2.2)" \
    \( -size "${w}x${h}" xc:none -font "$font" -pointsize 42 -gravity center \
       -kerning 6 -fill '#ffffff' -annotate +1-2 '工伤认定询问调查笔录' \
       -blur 0x1.2 \) -compose over -composite \
    -font "$font" -pointsize 42 -gravity center -kerning 6 \
    -fill "$navy" -annotate +0-3 '工伤认定询问调查笔录' \
    -depth 8 -strip -define png:color-type=2 "$banner"

# ------------------------------------------------------------------ icon --
# The icon is drawn at four times its size and scaled down, for smooth edges.
s=4
p() { # scale a list of numbers "x,y x,y ..." by $s
    local out="" pair
    for pair in "$@"; do
        out+="$(awk -v s="$s" -v xy="$pair" 'BEGIN { split(xy, v, ","); printf "%g,%g ", v[1] * s, v[2] * s }')"
    done
    echo "${out% }"
}

sheet="$(p 44,20 170,20 212,62 212,236 44,236)"
fold="$(p 170,20 170,62 212,62)"
shadow="$(p 50,26 176,26 218,68 218,242 50,242)"
sx=$((168 * s)); sy=$((184 * s))         # centre of the seal

lines=()
for y in 84 106 128 150; do
    lines+=(-draw "roundrectangle $((66 * s)),$((y * s)) $((190 * s)),$(((y + 8) * s)) $((4 * s)),$((4 * s))")
done
lines+=(-draw "roundrectangle $((66 * s)),$((172 * s)) $((128 * s)),$((180 * s)) $((4 * s)),$((4 * s))")

# Pen: body, gold band, nib, lying across the lower left of the sheet.
pen_body="$(p 118,132 136,150 68,218 50,200)"
pen_band="$(p 118,132 136,150 130,156 112,138)"
pen_cap="$(p 118,132 136,150 146,140 128,122)"
pen_nib="$(p 68,218 50,200 36,232)"
pen_tip="$(p 41.5,219 49,226.5 36,232)"

"${im[@]}" -size "$((256 * s))x$((256 * s))" xc:none \
    -fill '#00000030' -draw "polygon $shadow" \
    -fill '#ffffff' -stroke "$navy" -strokewidth $((5 * s)) -draw "polygon $sheet" \
    -fill '#dbe7f5' -draw "polygon $fold" \
    -stroke none -fill '#8fa8c8' "${lines[@]}" \
    -fill "$red" -draw "circle $sx,$sy $((sx + 38 * s)),$sy" \
    -fill none -stroke '#ffffff' -strokewidth $((3 * s)) -draw "circle $sx,$sy $((sx + 31 * s)),$sy" \
    -stroke none -fill "$lightgold" -draw "polygon $(star "$sx" "$((sy + 2 * s))" $((20 * s)) $((8 * s)))" \
    -fill "$navy"  -draw "polygon $pen_body" \
    -fill "$gold"  -draw "polygon $pen_band" \
    -fill "$darkred" -draw "polygon $pen_cap" \
    -fill "$gold"  -draw "polygon $pen_nib" \
    -fill "$navy"  -draw "polygon $pen_tip" \
    -resize 256x256 -depth 8 -strip -define png:color-type=6 "$icon"

for size in 128 48; do
    "${im[@]}" "$icon" -filter Lanczos -resize "${size}x${size}" -depth 8 -strip \
        -define png:color-type=6 "$here/icon-$size.png"
done

echo "wrote $banner, $icon and its smaller sizes"
