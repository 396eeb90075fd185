#!/usr/bin/env bash
# The picture's own palette (tomaru --colors auto) against ImageMagick's
# `-colors 256`, without dithering (+dither) and dithered: PSNR against the
# source and whole-process time side by side. The photographs are made here
# (ImageMagick's built-in rose photo enlarged, fractal landscapes with noise,
# a 12-megapixel one) or taken from pictures installed on this machine; none
# is downloaded. Not run by the tests.
#
#   bench/photo_palette.sh [BUILD_DIR] [EXTRA_PICTURE...]   (default build/;
#                                       needs ImageMagick, hyperfine if installed)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TOMARU="$(cd "${1:-$ROOT/build}" && pwd)/bin/tomaru"
shift || true
RUNS="${BENCH_RUNS:-3}"
command -v convert >/dev/null || { echo "needs ImageMagick" >&2; exit 1; }
[ -x "$TOMARU" ] || { echo "no $TOMARU: build first" >&2; exit 1; }

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

echo "Making the photographs..."
# A real photograph, small: enlarged smoothly and given sensor noise.
convert rose: -filter Lanczos -resize 640x420! -attenuate 0.4 +noise Gaussian rose.png
# Landscapes: a smooth sky over fractal ground, blurred as a lens would, with noise.
landscape() {  # name width height seed
  convert -size "$2x$(($3 * 2 / 5))" gradient:'#3a6fc8-#cfe3f5' \
    \( -size "$2x$(($3 - $3 * 2 / 5))" -seed "$4" plasma:'#4a7a2a-#c9a76b' -blur 0x3 \) \
    -append -attenuate 0.3 +noise Gaussian "$1"
}
landscape landscape.png 1024 768 7
landscape scene.png 2000 1072 11
landscape photo12mp.png 4000 3000 5
pictures=(rose.png landscape.png scene.png photo12mp.png)
for extra in "$@"; do
  name="found-$(basename "${extra%.*}").png"
  convert "$extra" -strip "$name" && pictures+=("$name")
done

seconds() {  # command...: the mean wall time of RUNS runs
  if command -v hyperfine >/dev/null; then
    hyperfine -N -w 1 -r "$RUNS" --export-json t.json "$*" >/dev/null 2>&1
    python3 -c 'import json; print("%.3f" % json.load(open("t.json"))["results"][0]["mean"])'
  else
    local start end
    start=$(date +%s.%N)
    for _ in $(seq "$RUNS"); do "$@" >/dev/null 2>&1; done
    end=$(date +%s.%N)
    echo "scale=3; ($end - $start) / $RUNS" | bc
  fi
}
psnr() { compare -metric PSNR "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true; }

printf '%-22s %-11s | %-27s | %-27s\n' picture size "no dithering: dB, s" "dithered: dB, s"
printf '%-22s %-11s | %-13s %-13s | %-13s %-13s\n' "" "" Tomaru ImageMagick Tomaru ImageMagick
for p in "${pictures[@]}"; do
  size=$(identify -format '%wx%h' "$p")
  row=()
  for mode in flat dithered; do
    # ImageMagick dithers by default: `-colors 256` alone is its dithered form.
    if [ $mode = flat ]; then tflag=--no-dither; iflag=+dither; else tflag=--dither; iflag=; fi
    "$TOMARU" --none --colors auto $tflag -o "t-$mode.gif" "$p"
    # shellcheck disable=SC2086
    convert "$p" $iflag -colors 256 "i-$mode.gif"
    tt=$(seconds "$TOMARU" --none --colors auto $tflag -o "t-$mode.gif" "$p")
    # shellcheck disable=SC2086
    it=$(seconds convert "$p" $iflag -colors 256 "i-$mode.gif")
    row+=("$(psnr "$p" "t-$mode.gif") $tt" "$(psnr "$p" "i-$mode.gif") $it")
  done
  printf '%-22s %-11s | %-13s %-13s | %-13s %-13s\n' "$p" "$size" "${row[@]}"
done
