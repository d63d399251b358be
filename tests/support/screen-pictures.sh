# Sourced by the tray host scenarios: what a screenshot shows, measured with ImageMagick.
# Areas are "x y width height" in the screenshot's pixels; lightness is from 0 (black) to 1.

# The box (x y width height) of the pixels within area $3 that differ clearly between the
# screenshots $1 and $2; nothing when none do.
changed_box() {
  local x y w h box
  read -r x y w h <<<"$3"
  box=$(convert "$1" "$2" -compose difference -composite -crop "${w}x${h}+${x}+${y}" +repage \
          -colorspace gray -threshold 12% -format '%@' info: 2>/dev/null)
  [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || return 0
  [ "${BASH_REMATCH[1]}" -gt 0 ] && [ "${BASH_REMATCH[2]}" -gt 0 ] || return 0
  echo "$((x + BASH_REMATCH[3])) $((y + BASH_REMATCH[4])) ${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
}

# The lightness of the pixel at $2 $3 of screenshot $1.
lightness_at() {
  convert "$1" -crop "1x1+$2+$3" +repage -colorspace gray -format '%[fx:u]' info:
}

# How the glyph in area $2 of screenshot $1 stands out from a bar of lightness $3: the
# largest difference in lightness, and the count of pixels that differ by more than half.
glyph_contrast() {
  local x y w h contrast clear
  read -r x y w h <<<"$2"
  contrast=$(convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -colorspace gray \
               -format "%[fx:max(maxima-$3,$3-minima)]\n" info: | tail -n1)
  # ImageMagick 7 says more than the answer on its last line.
  clear=$(convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -colorspace gray -fx "abs(u-$3)>0.5" \
            -format '%[fx:round(mean*w*h)]\n' info: | tail -n1)
  echo "$contrast $clear"
}

# The glyphs in area $2 of screenshot $1 on a bar of lightness $3, left to right, one box
# (x y width height) a line: runs of columns holding pixels that stand out from the bar by a
# quarter, apart from the next by at least two columns.
glyphs_in() {
  local x y w h
  read -r x y w h <<<"$2"
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -colorspace gray -fx "abs(u-$3)>0.25" \
    -scale "${w}x1!" -depth 16 txt:- 2>/dev/null |
    awk -F'[,: ]+' '/^[0-9]/ {print $1, ($0 ~ /gray\(0(\.0+)?%?\)|#0000 / ? 0 : 1)}' |
    awk -v left="$x" '
      $2 == 1 { if (start < 0 || $1 - last > 2) { if (start >= 0) print left + start, left + last; start = $1 } last = $1 }
      BEGIN { start = -1 }
      END { if (start >= 0) print left + start, left + last }' |
    while read -r from to; do
      local box
      box=$(convert "$1" -crop "$((to - from + 1))x${h}+${from}+${y}" +repage -colorspace gray -fx "abs(u-$3)>0.25" \
              -format '%@\n' info: 2>/dev/null | tail -n1)
      [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || continue
      echo "$((from + BASH_REMATCH[3])) $((y + BASH_REMATCH[4])) ${BASH_REMATCH[1]} ${BASH_REMATCH[2]}"
    done
}
