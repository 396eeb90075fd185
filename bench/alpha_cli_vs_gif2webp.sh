#!/usr/bin/env bash
# The command line's WebP save beside gif2webp on the frames of the GIF save
# of the same choice (white made transparent): time (hyperfine), size and
# peak memory (GNU time), and whether both show the same pictures for the same
# times (libwebp's decoder, bench_alpha_save --same).
#   heavy: the 45-frame animation of bench/heavy_gif.sh
#   big:   1000 full frames of noise, 240 x 240 (about 72 MB): the peak is
#          also given against the input's size
# Not run by the tests.
#
#   bench/alpha_cli_vs_gif2webp.sh [BUILD_DIR]   (needs hyperfine, gif2webp,
#                                                gifsicle, ImageMagick, GNU time)
#   CASES="heavy" bench/alpha_cli_vs_gif2webp.sh  (one of them only)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
TOMARU="$BUILD/bin/tomaru" SAME="$BUILD/bin/bench_alpha_save"
RUNS="${BENCH_RUNS:-5}"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"
source "$ROOT/bench/heavy_gif.sh"
make_heavy_gif
make_noise_gif 240

for f in ${CASES:-heavy big}; do
  "$TOMARU" --transparent white -o "$f-t.gif" "$f.gif" 2>/dev/null
  runs=$RUNS
  [ "$f" = big ] && runs=2
  hyperfine -N --warmup 1 --runs "$runs" --export-json "$f.json" \
    -n "tomaru" "$TOMARU --transparent white -o $WORK/$f.webp $WORK/$f.gif" \
    -n "gif2webp" "gif2webp -quiet $WORK/$f-t.gif -o $WORK/$f-g.webp" >/dev/null
  /usr/bin/time -f %M -o kb.tomaru "$TOMARU" --transparent white -o "$f.webp" "$f.gif"
  /usr/bin/time -f %M -o kb.gif2webp gif2webp -quiet "$f-t.gif" -o "$f-g.webp"
  same="$("$SAME" --same "$f.webp" "$f-g.webp" 2>&1 || true)"
  python3 - "$f" "$(stat -c %s "$f.gif")" "$(stat -c %s "$f.webp")" "$(stat -c %s "$f-g.webp")" \
    "$(tail -1 kb.tomaru)" "$(tail -1 kb.gif2webp)" "$same" <<'PY'
import json, sys
name, gif, ours, theirs, kb_o, kb_g = sys.argv[1], *map(int, sys.argv[2:7])
runs = {r["command"]: r for r in json.load(open(f"{name}.json"))["results"]}
o, g = runs["tomaru"], runs["gif2webp"]
print(f"{name}: input {gif} B; tomaru -o .webp {ours} B in {o['mean'] * 1e3:.0f} ms "
      f"(user {o['user'] * 1e3:.0f} ms, peak {kb_o / 1024:.1f} MiB = input + {kb_o / 1024 - gif / 2**20:.1f} MiB); "
      f"gif2webp on the GIF save {theirs} B in {g['mean'] * 1e3:.0f} ms (user {g['user'] * 1e3:.0f} ms, "
      f"peak {kb_g / 1024:.1f} MiB): time {o['mean'] / g['mean']:.2f}x, size {ours / theirs:.4f}x; {sys.argv[7]}")
PY
done
