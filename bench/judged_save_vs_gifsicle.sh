#!/usr/bin/env bash
# The judged save beside gifsicle --unoptimize, which composes and writes every
# frame of the same file: the work a save that writes frames anew must at most
# cost. One hyperfine run a file, then each command's peak memory.
#   heavy.gif: 45 optimised frames of 660 x 666 whose moving shapes span a still,
#              many-coloured band: nearly every frame is written anew
#   big.gif:   1000 full frames of noise, 224 x 224 (about 60 MB)
# Not run by the tests.
#
#   bench/judged_save_vs_gifsicle.sh [BUILD_DIR]   (default build/; needs hyperfine,
#                                                  gifsicle, ImageMagick, GNU time)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TOMARU="$(cd "${1:-$ROOT/build}" && pwd)/bin/tomaru"
RUNS="${BENCH_RUNS:-10}"
for tool in convert gifsicle hyperfine /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
[ -x "$TOMARU" ] || { echo "no $TOMARU: build first" >&2; exit 1; }

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK"/{frames,out}
cd "$WORK"

echo "Generating inputs in $WORK..."
source "$ROOT/bench/heavy_gif.sh"
make_heavy_gif
make_noise_gif 224

for f in heavy big; do
  hyperfine -N --warmup 1 --runs "$RUNS" --export-json "$f.json" \
    -n "tomaru -o (judged save)" "$TOMARU --transparent white -o $WORK/out/$f.gif $WORK/$f.gif" \
    -n "gifsicle --unoptimize" "gifsicle --no-warnings --unoptimize $WORK/$f.gif -o $WORK/out/$f-unopt.gif"
done

echo "Measuring peak memory..."
for f in heavy big; do
  /usr/bin/time -f %M -o kb.tomaru "$TOMARU" --transparent white -o "out/$f.gif" "$f.gif"
  /usr/bin/time -f %M -o kb.gifsicle gifsicle --no-warnings --unoptimize "$f.gif" -o "out/$f-unopt.gif"
  python3 - "$f" "$(stat -c %s "$f.gif")" "$(stat -c %s "out/$f.gif")" "$(tail -1 kb.tomaru)" "$(tail -1 kb.gifsicle)" <<'PY'
import json, sys
name, size, saved, kb_t, kb_g = sys.argv[1], *map(int, sys.argv[2:6])
runs = {r["command"]: r for r in json.load(open(f"{name}.json"))["results"]}
t, g = runs["tomaru -o (judged save)"], runs["gifsicle --unoptimize"]
print(f"{name}.gif {size / 2**20:.1f} MiB -> {saved / 2**20:.1f} MiB: tomaru {t['mean'] * 1e3:.0f} ms "
      f"(user {t['user'] * 1e3:.0f} ms, peak {kb_t / 1024:.1f} MiB), gifsicle --unoptimize {g['mean'] * 1e3:.0f} ms "
      f"(user {g['user'] * 1e3:.0f} ms, peak {kb_g / 1024:.1f} MiB): {t['mean'] / g['mean']:.2f}x")
PY
done
