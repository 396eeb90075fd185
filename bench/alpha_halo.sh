#!/usr/bin/env bash
# The halo set: the art of tests/frames/BackgroundTest.cpp (logo on white, on
# cream, in 48 colours, a face, 8 optimised frames), each saved once as a WebP
# with soft edges and shown on white, #202020 and #3A7BD5: the worst frame's
# PSNR against the true art on each page, the GIF matted for #202020 beside.
# The figures are those the background test prints as it checks them.
#
#   bench/alpha_halo.sh [BUILD_DIR]   (build frames_background_tests first)
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
QT_QPA_PLATFORM=offscreen "$BUILD/tests/frames_background_tests" \
  --gtest_filter=Background.EdgesMattedToThePageMatchTheArtOnIt 2>/dev/null | grep -E 'WebP|matted,'
