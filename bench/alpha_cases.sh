# Sourced by the bench scripts: make_alpha_cases writes small animations in
# the current folder, the kinds a save must show right frame for frame:
#   optimised: antialiased shapes moving on white, gifsicle -O2 (partial frames, transparency)
#   dispose2 / dispose3: the same frames disposed to the background / previous
#   local: every frame with a table of its own
#   clearfirst: a first frame wholly transparent, the art drawn after it
# Needs ImageMagick and gifsicle.
make_alpha_cases() {
  mkdir -p case-frames
  for k in $(seq 0 7); do
    convert -size 120x90 xc:white -fill '#2a6' -stroke '#134' -strokewidth 3 \
      -draw "circle $((20 + k * 10)),45 $((20 + k * 10)),$((25 + k % 3 * 4))" \
      -fill '#d33' -stroke none -draw "roundrectangle 60,$((10 + k * 5)) 110,$((30 + k * 5)) 6,6" \
      -font DejaVu-Sans -pointsize 14 -fill black -draw "text 5,85 'Frame $k'" \
      "case-frames/f$k.png"
  done
  convert -delay 7 case-frames/f*.png +dither -colors 200 +map -loop 0 plain.gif
  gifsicle -O2 plain.gif -o optimised.gif
  gifsicle --disposal=background -O1 plain.gif -o dispose2.gif
  gifsicle --disposal=previous -O1 plain.gif -o dispose3.gif
  convert -delay 7 case-frames/f*.png +dither -colors 120 -loop 3 local.gif
  # gifsicle's --colors gives both files one global table, white in it.
  convert -size 120x90 xc:none clear.gif
  gifsicle --no-warnings --colors 256 -d1 clear.gif -d7 plain.gif -o clearfirst.gif
}
