#!/usr/bin/env bash
# How long the window takes from its start to a picture on screen, on a private Xvfb
# with openbox. Each run starts `tomaru magenta.gif` (300x200 of pure magenta, a colour
# no part of the window uses) and notes three moments from the start:
#   window   xdotool first finds a visible window of Tomaru's class
#   picture  the first screen grab that holds a pure magenta pixel (the picture view)
#   preview  the first grab that holds both pictures (the view and the web preview)
# then closes the window and waits for the program and its web processes to end.
# Screen grabs are XGetImage of the window's rectangle through libX11 (ctypes), not
# `import -window root`, which takes ~60 ms a grab: a grab and its pixel test take
# ~10 ms, then the poller sleeps 5 ms, so a moment is late by at most one poll period
# (printed per run, ~15 ms); xdotool's polls are ~10 ms apart. The poller's own CPU
# use (about half of one core) competes with the start it measures on a small machine.
# Every run starts from the same settings, HOME and program folder: those one untimed
# warm-up run left behind (a returning user's start; it also fills the disk cache). Not run by the tests.
#
#   bench/window_start.sh [BUILD_DIR]   (default build/; needs Xvfb, openbox, xdotool,
#                                       wmctrl, ImageMagick, python3)
#   BENCH_RUNS=N sets the timed runs (default 10).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BIN="$(cd "${1:-$ROOT/build}" && pwd)/bin"
RUNS="${BENCH_RUNS:-10}"
for tool in Xvfb openbox xdotool wmctrl convert python3; do
  command -v "$tool" >/dev/null || { echo "needs $tool" >&2; exit 1; }
done
[ -x "$BIN/tomaru" ] || { echo "no $BIN/tomaru: build first" >&2; exit 1; }

WORK="$(mktemp -d)"
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT
convert -size 300x200 xc:magenta "$WORK/magenta.gif"
# A program in a writable folder keeps its settings and recent files beside itself
# (data/): a private copy keeps them out of the build and lets each run start alike.
APP="$WORK/app"
cp -a "$BIN" "$APP" && rm -rf "$APP/data"

# -displayfd picks a free display number, so this never meets another X server.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" 2>/dev/null &
PIDS+=($!)
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$WORK/display")"
mkdir -p "$WORK/wm"
HOME="$WORK/wm" XDG_CONFIG_HOME="$WORK/wm" XDG_CACHE_HOME="$WORK/wm" openbox >/dev/null 2>&1 &
PIDS+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.05
done

cat >"$WORK/poll.py" <<'PY'
import ctypes, os, signal, subprocess, sys, time

x = ctypes.CDLL("libX11.so.6")
class XImage(ctypes.Structure):  # the leading fields of Xlib's XImage
    _fields_ = [(n, ctypes.c_int) for n in ("width", "height", "xoffset", "format")] + \
        [("data", ctypes.c_void_p)] + [(n, ctypes.c_int) for n in (
            "byte_order", "bitmap_unit", "bitmap_bit_order", "bitmap_pad", "depth",
            "bytes_per_line", "bits_per_pixel")]
x.XOpenDisplay.restype = ctypes.c_void_p
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                        ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
x.XGetImage.restype = ctypes.POINTER(XImage)
x.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
display = x.XOpenDisplay(None)
root = x.XDefaultRootWindow(display)
IS_FF = bytes(v == 0xFF for v in range(256))
IS_00 = bytes(v == 0 for v in range(256))

def magenta_pixels(left, top, width, height):
    """Pure magenta pixels in a rectangle of the screen, counted exactly per pixel."""
    image = x.XGetImage(display, root, left, top, width, height, 0xFFFFFFFF, 2)  # ZPixmap
    i = image.contents
    assert i.bits_per_pixel == 32 and i.byte_order == 0, "expects 32-bit BGRX pixels"
    data = ctypes.string_at(i.data, i.bytes_per_line * height)
    x.XDestroyImage(image)
    # One flag byte a pixel and channel; the three channel masks ANDed as big integers.
    blue, green, red = (int.from_bytes(data[c::4].translate(t), "little")
                        for c, t in ((0, IS_FF), (1, IS_00), (2, IS_FF)))
    return (blue & green & red).bit_count()

def shell(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout.split()

tomaru, picture, screen_w, screen_h = sys.argv[1], sys.argv[2], 1280, 1024
start = time.monotonic()
ms = lambda: round((time.monotonic() - start) * 1000)
program = subprocess.Popen([tomaru, picture], start_new_session=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
window = []
while not window and time.monotonic() - start < 60:
    at_window = ms()
    window = shell("xdotool", "search", "--onlyvisible", "--class", "io.github.tomaru.Tomaru")
    time.sleep(0.01)
found = {}
polls, poll_start = 0, time.monotonic()
while window and len(found) < 2 and time.monotonic() - start < 60:
    geometry = dict(kv.split("=") for kv in shell("xdotool", "getwindowgeometry", "--shell", window[0])) \
        if polls % 20 == 0 else geometry  # openbox may still move it; re-read now and then
    left, top = max(0, int(geometry["X"])), max(0, int(geometry["Y"]))
    width = min(screen_w - left, int(geometry["WIDTH"]))
    height = min(screen_h - top, int(geometry["HEIGHT"]))
    at = ms()
    count = magenta_pixels(left, top, width, height)
    polls += 1
    if count > 0: found.setdefault("picture", at)
    if count >= 2 * 300 * 200: found.setdefault("preview", at)
    time.sleep(0.005)
period = (time.monotonic() - poll_start) * 1000 / max(polls, 1)
if window:
    subprocess.run(["wmctrl", "-i", "-c", window[0]])  # closes it as a user would
try:
    program.wait(timeout=20)
except subprocess.TimeoutExpired:
    print("did not end after closing; killed", file=sys.stderr)
try:
    os.killpg(program.pid, signal.SIGKILL)  # web processes left behind, if any
except ProcessLookupError:
    pass
program.wait()
print(at_window if window else "-", found.get("picture", "-"), found.get("preview", "-"),
      round(period, 1))
PY

HOME_DIR="$WORK/home"
run() {  # one start of the window in a private HOME; prints its moments
  mkdir -p -m 700 "$HOME_DIR/run"
  # QT_QPA_PLATFORM may be offscreen from the build's environment: this needs the screen.
  env QT_QPA_PLATFORM=xcb HOME="$HOME_DIR" XDG_CONFIG_HOME="$HOME_DIR/.config" \
    XDG_CACHE_HOME="$HOME_DIR/.cache" XDG_DATA_HOME="$HOME_DIR/.local/share" \
    XDG_RUNTIME_DIR="$HOME_DIR/run" QTWEBENGINE_DISABLE_SANDBOX=1 \
    QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu --no-sandbox" \
    python3 "$WORK/poll.py" "$APP/tomaru" "$WORK/magenta.gif"
}
echo "warm-up run: $(run)"
mkdir "$WORK/settings" && cp -a "$HOME_DIR" "$APP/data" "$WORK/settings/"
echo "run window_ms picture_ms preview_ms poll_period_ms" | tee "$WORK/runs"
for n in $(seq 1 "$RUNS"); do
  rm -rf "$HOME_DIR" "$APP/data"
  cp -a "$WORK/settings/home" "$HOME_DIR" && cp -a "$WORK/settings/data" "$APP/data"
  echo "$n $(run)" | tee -a "$WORK/runs"
done
python3 - "$WORK/runs" <<'PY'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])][1:]
for col, name in ((1, "window shown"), (2, "picture shown"), (3, "preview shown")):
    values = [int(r[col]) for r in rows if r[col] != "-"]
    missed = len(rows) - len(values)
    if values:
        print(f"{name:14s} median {statistics.median(values):6.0f} ms  min {min(values):5d}"
              f"  max {max(values):5d}" + (f"  ({missed} runs never)" if missed else ""))
    else:
        print(f"{name:14s} never seen")
print(f"poll period    mean {statistics.mean(float(r[4]) for r in rows):.1f} ms")
PY
