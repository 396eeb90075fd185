#!/usr/bin/env bash
# The alpha writer beside gif2webp on the frames of a GIF saved by tomaru: both
# decode the GIF, compose its frames and encode them as a lossless animated
# WebP with libwebp's animation encoder. One hyperfine run a file, then each
# command's peak memory and file size, and whether the two WebPs show the
# same pictures for the same times (libwebp's decoder).
#   heavy: the 45-frame animation of bench/heavy_gif.sh, white made transparent
#   sparse: 30 optimised frames of 400 x 300, a small shape moving over a still
#          noisy picture, white made transparent
#   big:   1000 full frames of noise, 224 x 224 (about 50 MB), white made transparent
# Not run by the tests.
#
#   bench/alpha_save_vs_gif2webp.sh [BUILD_DIR]   (default build/; needs hyperfine,
#                                                 gif2webp, gifsicle, ImageMagick, GNU time)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
TOMARU="$BUILD/bin/tomaru" WRITER="$BUILD/bin/bench_alpha_save"
RUNS="${BENCH_RUNS:-5}"
for tool in convert gifsicle gif2webp hyperfine /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
for program in "$TOMARU" "$WRITER"; do
  [ -x "$program" ] || { echo "no $program: build tomaru and bench_alpha_save first" >&2; exit 1; }
done

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK"/{frames,out}
cd "$WORK"

echo "Generating inputs in $WORK..."
source "$ROOT/bench/heavy_gif.sh"
make_heavy_gif
make_noise_gif 224
convert -size 400x300 -seed 3 xc:gray +noise Random -blur 0x2 still.png
for k in $(seq 0 29); do
  convert still.png -fill white -draw "rectangle $((k * 10)),100 $((k * 10 + 40)),140" \
    -fill red -draw "circle $((k * 10 + 20)),120 $((k * 10 + 30)),120" "frames/s$(printf %02d "$k").png"
done
convert -delay 5 frames/s*.png +dither -colors 255 +map -loop 0 sparse-plain.gif
gifsicle -O2 sparse-plain.gif -o sparse.gif
for f in heavy sparse big; do
  "$TOMARU" --transparent white -o "$f-t.gif" "$f.gif" 2>/dev/null
done

for f in heavy sparse big; do
  hyperfine -N --warmup 1 --runs "$RUNS" --export-json "$f.json" \
    -n "alpha writer" "$WRITER $WORK/$f-t.gif $WORK/out/$f.webp" \
    -n "gif2webp" "gif2webp -quiet $WORK/$f-t.gif -o $WORK/out/$f-g.webp"
done

echo "Measuring peak memory..."
for f in heavy sparse big; do
  /usr/bin/time -f %M -o kb.writer "$WRITER" "$f-t.gif" "out/$f.webp"
  /usr/bin/time -f %M -o kb.gif2webp gif2webp -quiet "$f-t.gif" -o "out/$f-g.webp"
  same="$("$WRITER" --same "out/$f.webp" "out/$f-g.webp" 2>&1 || true)"
  python3 - "$f" "$(stat -c %s "$f-t.gif")" "$(stat -c %s "out/$f.webp")" "$(stat -c %s "out/$f-g.webp")" \
    "$(tail -1 kb.writer)" "$(tail -1 kb.gif2webp)" "$same" <<'PY'
import json, sys
name, gif, ours, theirs, kb_o, kb_g = sys.argv[1], *map(int, sys.argv[2:7])
runs = {r["command"]: r for r in json.load(open(f"{name}.json"))["results"]}
o, g = runs["alpha writer"], runs["gif2webp"]
print(f"{name}: GIF {gif} B -> alpha writer {ours} B in {o['mean'] * 1e3:.0f} ms "
      f"(user {o['user'] * 1e3:.0f} ms, peak {kb_o / 1024:.1f} MiB); gif2webp {theirs} B in "
      f"{g['mean'] * 1e3:.0f} ms (user {g['user'] * 1e3:.0f} ms, peak {kb_g / 1024:.1f} MiB): "
      f"time {o['mean'] / g['mean']:.2f}x, size {ours / theirs:.4f}x; {sys.argv[7]}")
PY
done
