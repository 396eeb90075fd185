#!/usr/bin/env bash
# With hard edges a WebP save shows exactly what the GIF save shows, frame for
# frame and for as long: tomaru's WebP beside gif2webp's WebP of tomaru's GIF
# save of the same choice (gif2webp composes the GIF with giflib itself),
# compared picture by picture by libwebp's decoder (bench_alpha_save --same).
# Over the animations of bench/alpha_cases.sh and bench/heavy_gif.sh.
# Not run by the tests.
#
#   bench/alpha_hard_edges.sh [BUILD_DIR]   (needs gif2webp, gifsicle, ImageMagick)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
TOMARU="$BUILD/bin/tomaru" SAME="$BUILD/bin/bench_alpha_save"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
source "$ROOT/bench/alpha_cases.sh"
source "$ROOT/bench/heavy_gif.sh"
make_alpha_cases
make_heavy_gif
for f in optimised dispose2 dispose3 local clearfirst heavy; do
  for options in "" "--fuzz 10" "--connected" "--first-frame-only"; do
    # shellcheck disable=SC2086
    "$TOMARU" --transparent white $options -o "$f.gif.out.gif" "$f.gif" 2>/dev/null
    # shellcheck disable=SC2086
    "$TOMARU" --transparent white $options -o "$f.webp" "$f.gif"
    gif2webp -quiet "$f.gif.out.gif" -o "$f-g.webp"
    printf '%-11s %-20s frames %3s: %s\n' "$f" "${options:-(colour only)}" \
      "$(gifsicle --info "$f.gif" | grep -c '+ image')" "$("$SAME" --same "$f.webp" "$f-g.webp" 2>&1)"
  done
done
