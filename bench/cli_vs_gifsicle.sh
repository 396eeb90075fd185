#!/usr/bin/env bash
# Whole-process throughput of `tomaru --transparent` against `gifsicle --transparent`
# (and giftrans when installed) over the same 1000 generated GIFs: mixed sizes,
# one in five animated, every one holding pure white. Not run by the tests.
#
#   bench/cli_vs_gifsicle.sh [BUILD_DIR]     (default build/; needs ImageMagick,
#                                             gifsicle; hyperfine if installed)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TOMARU="$(cd "${1:-$ROOT/build}" && pwd)/bin/tomaru"
COUNT=1000
BASES=50
RUNS="${BENCH_RUNS:-5}"
for tool in convert gifsicle; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
[ -x "$TOMARU" ] || { echo "no $TOMARU: build first" >&2; exit 1; }

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/src" "$WORK/base"

# A picture of many colours with a white corner, reduced as a GIF would be.
frame_args() {  # width height seed
  args+=("(" -size "$1x$2" -seed "$3" plasma:fractal +dither -colors 200
         -fill white -draw "rectangle 0,0,$(($1 / 4)),$(($2 / 4))" ")")
}
echo "Generating $BASES pictures..."
sizes=(16 32 48 64 100 128 200 256 320 480 640)
for i in $(seq 1 $BASES); do
  w=${sizes[$((i % ${#sizes[@]}))]}
  h=${sizes[$(((i * 7) % ${#sizes[@]}))]}
  args=()
  if [ $((i % 5)) -eq 0 ]; then
    args+=(-delay 10)
    for f in $(seq 1 $((3 + i % 6))); do frame_args "$w" "$h" $((i * 100 + f)); done
    args+=(-loop 0)
  else
    frame_args "$w" "$h" "$i"
  fi
  convert "${args[@]}" "$WORK/base/$i.gif"
done
echo "Copying them into $COUNT files..."
for n in $(seq 1 $COUNT); do cp "$WORK/base/$(((n - 1) % BASES + 1)).gif" "$WORK/src/img$n.gif"; done
du -sh "$WORK/src" | sed 's/^/input: /'

mkdir -p "$WORK/out"
TOMARU_CMD="$TOMARU --transparent '#ffffff' -o $WORK/out $WORK/src/*.gif"
TOMARU_INPLACE="$TOMARU --transparent '#ffffff' --in-place $WORK/copy/*.gif"
GIFSICLE_CMD="gifsicle --no-warnings --transparent '#ffffff' -b $WORK/copy/*.gif"
PREPARE="rm -rf $WORK/copy && cp -r $WORK/src $WORK/copy"
GIFTRANS_CMD=""
if command -v giftrans >/dev/null; then
  GIFTRANS_CMD="for f in $WORK/src/*.gif; do giftrans -t '#ffffff' -o $WORK/out/\${f##*/} \$f 2>/dev/null; done"
fi

if command -v hyperfine >/dev/null; then
  FRESH_OUT="rm -rf $WORK/out && mkdir $WORK/out"
  args=(--warmup 1 --runs "$RUNS" --export-json "$WORK/times.json"
        -n "tomaru -o DIR" --prepare "$FRESH_OUT"
        -n "tomaru --in-place" --prepare "$PREPARE"
        -n "gifsicle -b" --prepare "$PREPARE")
  cmds=("$TOMARU_CMD" "$TOMARU_INPLACE" "$GIFSICLE_CMD")
  if [ -n "$GIFTRANS_CMD" ]; then
    args+=(-n "giftrans (one process a file)" --prepare "$FRESH_OUT")
    cmds+=("$GIFTRANS_CMD")
  fi
  args+=("${cmds[@]}")
  hyperfine "${args[@]}"
  python3 - "$WORK/times.json" "$COUNT" <<'PY'
import json, sys
runs = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
count = int(sys.argv[2])
gifsicle = runs["gifsicle -b"]
for name, mean in runs.items():
    print(f"{name:32s} {mean:7.3f} s  {count / mean:8.0f} files/s  {gifsicle / mean:5.2f}x gifsicle")
PY
else
  # Without hyperfine: the best of RUNS runs of each, timed with date.
  best() {  # prepare command
    local b=999999 t0 t1 t
    for _ in $(seq 1 "$RUNS"); do
      [ -n "$1" ] && eval "$1"
      t0=$(date +%s%N); eval "$2" >/dev/null; t1=$(date +%s%N)
      t=$(((t1 - t0) / 1000000)); [ $t -lt $b ] && b=$t
    done
    echo $b
  }
  t_tomaru=$(best "" "$TOMARU_CMD")
  t_inplace=$(best "$PREPARE" "$TOMARU_INPLACE")
  t_gifsicle=$(best "$PREPARE" "$GIFSICLE_CMD")
  echo "tomaru -o DIR     ${t_tomaru} ms"
  echo "tomaru --in-place ${t_inplace} ms"
  echo "gifsicle -b       ${t_gifsicle} ms"
  if [ -n "$GIFTRANS_CMD" ]; then echo "giftrans          $(best "" "$GIFTRANS_CMD") ms"; fi
  awk -v g="$t_gifsicle" -v t="$t_tomaru" 'BEGIN { printf "tomaru -o DIR: %.2fx gifsicle\n", g / t }'
fi
