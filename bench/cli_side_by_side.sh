#!/usr/bin/env bash
# The command line beside the plain tools that do the same job, one hyperfine run a
# group so the figures are side by side, then each command's peak memory:
#   a. one small GIF: start-up cost (tomaru --info, -o DIR and -o onto an existing file
#      against a program that only starts Qt Core, giftrans and gifsicle)
#   b. one 1000-frame animation of 50-70 MB: streaming cost against copying the file
#   c. 1000 small files in one process: per-file cost against gifsicle --batch
# Not run by the tests.
#
#   bench/cli_side_by_side.sh [BUILD_DIR]   (default build/; needs hyperfine, giftrans,
#                                           gifsicle, ImageMagick, GNU time)
#   BENCH_RUNS=N sets the timed runs of the slow groups (default 10; group a runs 50);
#   BENCH_GROUPS=a (say) runs only the groups named (default abc);
#   BENCH_BEFORE=PATH adds another tomaru (an earlier build, say) to group b, timed in the same run.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TOMARU="$(cd "${1:-$ROOT/build}" && pwd)/bin/tomaru"
RUNS="${BENCH_RUNS:-10}"
GROUPS_RUN="${BENCH_GROUPS:-abc}"
for tool in convert gifsicle giftrans hyperfine /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
[ -x "$TOMARU" ] || { echo "no $TOMARU: build first" >&2; exit 1; }
FLOOR="$(dirname "$TOMARU")/bench_qt_core_floor"
[ -x "$FLOOR" ] || { echo "no $FLOOR: build the target bench_qt_core_floor" >&2; exit 1; }

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK"/{frames,base,src,out,out2}
cd "$WORK"

echo "Generating inputs in $WORK..."
convert -size 64x64 -seed 1 plasma:fractal +dither -colors 64 \
  -fill white -draw "rectangle 0,0,31,31" small.gif
# Noise barely compresses, so 20 distinct 224x224 frames of ~64 KB repeated to 1000
# frames land near 63 MB; gifsicle copies the compressed frames without decoding them.
for i in $(seq 1 20); do
  convert -size 224x224 -seed "$i" xc:gray +noise Random +dither -colors 256 \
    -fill white -draw "rectangle 0,0,63,63" "frames/$i.gif"
done
frames=()
for _ in $(seq 1 50); do frames+=(frames/{1..20}.gif); done
gifsicle --no-warnings --loopcount=forever -d 4 "${frames[@]}" -o big.gif
BIG_BYTES=$(stat -c %s big.gif)
if [ "$BIG_BYTES" -lt 50000000 ] || [ "$BIG_BYTES" -gt 70000000 ]; then
  echo "big.gif is $BIG_BYTES bytes, outside 50-70 MB" >&2; exit 1
fi
# The batch: as bench/cli_vs_gifsicle.sh, but smaller pictures (16-128 px), so the
# per-file cost of the process rather than pixel work is what is timed.
sizes=(16 24 32 48 64 80 100 128)
for i in $(seq 1 50); do
  w=${sizes[$((i % ${#sizes[@]}))]} h=${sizes[$(((i * 3) % ${#sizes[@]}))]}
  args=(-delay 10)
  for f in $(seq 1 $((i % 5 == 0 ? 3 + i % 4 : 1))); do  # one in five animated
    args+=("(" -size "${w}x$h" -seed $((i * 100 + f)) plasma:fractal +dither -colors 200
           -fill white -draw "rectangle 0,0,$((w / 4)),$((h / 4))" ")")
  done
  convert "${args[@]}" -loop 0 "base/$i.gif"
done
for n in $(seq 1 1000); do cp "base/$(((n - 1) % 50 + 1)).gif" "src/img$n.gif"; done
BATCH=$(for n in $(seq 1 1000); do printf ' %s' "$WORK/copy/img$n.gif"; done)
FRESH_COPY="sh -c 'rm -rf $WORK/copy && cp -r $WORK/src $WORK/copy'"
FRESH_OUT="sh -c 'rm -rf $WORK/out2 && mkdir $WORK/out2'"

# hyperfine runs each command without a shell (-N): a shell's start-up would be a
# third of giftrans's time on the small file. Only cp + sync needs one, whose few ms
# are small beside copying 60 MB.
# cp is followed by a sync of that one file where tomaru syncs too: a file it
# replaces is made durable before the rename (a bare `sync` would also wait for other
# processes' writes on a shared machine). A new file is not synced, as with cp and
# gifsicle; "-o FILE, replaced" shows what replacing costs on the small file.
W="$WORK"
NAMES=(
  "a:Qt Core floor"            "a:tomaru --info"        "a:tomaru -o DIR"  "a:tomaru -o FILE, replaced"
  "a:giftrans -t"              "a:gifsicle --transparent"
  "b:tomaru -o DIR"            "b:tomaru --patch-only"  "b:cp + sync"      "b:gifsicle --transparent"
  "c:tomaru --in-place"        "c:gifsicle --batch")
CMDS=(
  "$FLOOR"
  "$TOMARU --info $W/small.gif"
  "$TOMARU --transparent '#ffffff' -o $W/out $W/small.gif"
  "$TOMARU --transparent '#ffffff' -o $W/out/replaced.gif $W/small.gif"
  "giftrans -t '#ffffff' -o $W/out/giftrans.gif $W/small.gif"
  "gifsicle --transparent '#ffffff' $W/small.gif -o $W/out/gifsicle.gif"
  "$TOMARU --transparent '#ffffff' -o $W/out2 $W/big.gif"
  "$TOMARU --transparent '#ffffff' --patch-only -o $W/out2 $W/big.gif"
  "sh -c 'cp $W/big.gif $W/out2/ && sync $W/out2/big.gif'"
  "gifsicle --transparent '#ffffff' $W/big.gif -o $W/out2/gifsicle.gif"
  "$TOMARU --transparent '#ffffff' --in-place$BATCH"
  "gifsicle --no-warnings --batch --transparent '#ffffff'$BATCH")
if [ -n "${BENCH_BEFORE:-}" ]; then
  NAMES+=("b:before: tomaru -o DIR")
  CMDS+=("$BENCH_BEFORE --transparent '#ffffff' -o $W/out2 $W/big.gif")
fi
# Every command of a group gets a preparation, or none does: hyperfine wants one each.
# -o DIR writes a new file each time; "replaced" always finds its target there.
FRESH_SMALL="sh -c 'rm -f $W/out/small.gif; cp $W/small.gif $W/out/replaced.gif'"
PREPARES=("$FRESH_SMALL" "$FRESH_SMALL" "$FRESH_SMALL" "$FRESH_SMALL" "$FRESH_SMALL" "$FRESH_SMALL" "$FRESH_OUT" "$FRESH_OUT" "$FRESH_OUT" "$FRESH_OUT" "$FRESH_COPY" "$FRESH_COPY")
[ -n "${BENCH_BEFORE:-}" ] && PREPARES+=("$FRESH_OUT")

group() {  # letter warmup runs: one hyperfine run over the group's commands
  local args=(-N --warmup "$2" --runs "$3" --export-json "$WORK/$1.json") i
  for i in "${!NAMES[@]}"; do
    [ "${NAMES[$i]%%:*}" = "$1" ] || continue
    [ -n "${PREPARES[$i]}" ] && args+=(--prepare "${PREPARES[$i]}")
    args+=(-n "${NAMES[$i]}" "${CMDS[$i]}")
  done
  hyperfine "${args[@]}"
}
for g in a b c; do
  [[ $GROUPS_RUN == *$g* ]] || continue
  case $g in a) group a 5 50 ;; *) group "$g" $([ "$g" = b ] && echo 2 || echo 1) "$RUNS" ;; esac
done

echo "Measuring peak memory..."
: > peaks.tsv
for i in "${!NAMES[@]}"; do
  [[ $GROUPS_RUN == *"${NAMES[$i]%%:*}"* ]] || continue
  [ -n "${PREPARES[$i]}" ] && eval "${PREPARES[$i]}"
  # GNU time's %M is the largest resident set of the command and its children, in KB.
  eval "/usr/bin/time -f %M -o $WORK/kb ${CMDS[$i]}" >/dev/null 2>&1
  printf '%s\t%s\n' "${NAMES[$i]}" "$(tail -1 "$WORK/kb")" >> peaks.tsv
done

python3 - "$WORK" "$GROUPS_RUN" "$(stat -c %s small.gif)" "$BIG_BYTES" "$(du -sb src | cut -f1)" <<'PY'
import json, sys
work, groups, sizes = sys.argv[1], sys.argv[2], dict(zip("abc", map(int, sys.argv[3:6])))
peaks = dict(line.rstrip("\n").split("\t") for line in open(f"{work}/peaks.tsv"))
baseline = {"a": "a:giftrans -t", "b": "b:cp + sync", "c": "c:gifsicle --batch"}
print(f"\n{'command':28s} {'input':>9s} {'mean ms':>9s} {'± sd':>7s} {'min–max ms':>17s}"
      f" {'ratio':>6s} {'peak MiB':>8s}")
for g in (g for g in "abc" if g in groups):
    runs = {r["command"]: r for r in json.load(open(f"{work}/{g}.json"))["results"]}
    base = runs[baseline[g]]["mean"]
    size = sizes[g] / 2**20  # MiB, as GNU time's KB are KiB
    for name, r in runs.items():
        peak = int(peaks[name]) / 1024
        note = ""
        if g == "b" and name.startswith("b:tomaru"):
            note = f"  peak <= input + 32 MiB: {'yes' if peak <= size + 32 else 'NO'}"
        shown = f"{sizes[g] / 1024:.1f} KiB" if g == "a" else f"{size:.1f} MiB"
        if g == "a":
            note = f"  {r['mean'] / runs['a:Qt Core floor']['mean']:.2f}x the floor"
        print(f"{name:28s} {shown:>9s} {r['mean'] * 1e3:9.1f} {r['stddev'] * 1e3:7.1f}"
              f" {r['min'] * 1e3:8.1f}–{r['max'] * 1e3:<8.1f} {r['mean'] / base:5.2f}x"
              f" {peak:8.1f}{note}")
print("ratio: mean time over giftrans (a; the floor's multiple beside it), cp + sync (b), gifsicle --batch (c);"
      " aims: a <= 3x, b <= 1.5x, b's peak <= input + 32 MiB")
PY
