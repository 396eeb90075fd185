# Sourced by the bench scripts: make_heavy_gif writes heavy.gif in the current
# folder (and frames/ beside it): 45 optimised frames of 660 x 666 whose
# moving shapes span a still, many-coloured band, so that with white made
# transparent nearly every frame is written anew. Needs ImageMagick, gifsicle.
make_heavy_gif() {
  mkdir -p frames
  local W=660 H=666
  convert -size ${W}x170 gradient:'#d02020-#2040e0' \( -size ${W}x170 -seed 7 xc:gray +noise Random -blur 0x6 \) \
    -compose multiply -composite band.png
  for s in $(seq 1 14); do
    convert -size $((20 + s * 5 % 40))x$((20 + s * 5 % 40)) -seed "$s" xc:gray +noise Random "shape$s.png"
  done
  for k in $(seq 0 44); do
    local args=(-size ${W}x$H xc:white band.png -geometry +0+0 -composite)
    for s in $(seq 1 14); do
      local x=$(((s * 37 + k * (4 + s % 5) * 3) % (W - 60))) y=$(((s * 53 + k * (2 + s % 3) * 3) % (H - 60)))
      args+=("shape$s.png" -geometry "+$x+$y" -composite)
    done
    convert "${args[@]}" "frames/$(printf %02d "$k").png"
  done
  # One palette for every frame (+map), then gifsicle's optimiser: partial frames.
  convert -delay 8 frames/*.png +dither -colors 255 +map -loop 0 plain.gif
  gifsicle -O2 plain.gif -o heavy.gif
}

# make_noise_gif SIDE writes big.gif: 1000 full frames of noise, SIDE x SIDE
# (224: about 60 MB; 240: about 72 MB), 20 distinct frames repeated, each with
# a white square in its corner. Noise barely compresses, and gifsicle copies
# the compressed frames without decoding them.
make_noise_gif() {
  mkdir -p frames
  local side="$1" i noise=()
  for i in $(seq 1 20); do
    convert -size "${side}x$side" -seed "$i" xc:gray +noise Random +dither -colors 256 \
      -fill white -draw "rectangle 0,0,63,63" "frames/n$i.gif"
  done
  for _ in $(seq 1 50); do noise+=(frames/n{1..20}.gif); done
  gifsicle --no-warnings --loopcount=forever -d 4 "${noise[@]}" -o big.gif
}
