#include "frames/FrameDecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>

namespace {

int ReadFromBuffer(GifFileType* gif, GifByteType* to, int wanted) {
  auto* reader = static_cast<TFrameDecoder::TReader*>(gif->UserData);
  const qsizetype n = std::min<qsizetype>(wanted, reader->Data->size() - reader->Pos);
  if (n <= 0) return 0;
  std::memcpy(to, reader->Data->constData() + reader->Pos, size_t(n));
  reader->Pos += n;
  return int(n);
}

bool SkipExtension(GifFileType* gif) {
  int code = 0;
  GifByteType* block = nullptr;
  if (DGifGetExtension(gif, &code, &block) != GIF_OK) return false;
  while (block)
    if (DGifGetExtensionNext(gif, &block) != GIF_OK) return false;
  return true;
}

// The row each decoded line belongs to in an interlaced frame.
std::vector<int> InterlacedRows(int height) {
  std::vector<int> rows;
  rows.reserve(size_t(height));
  for (const auto& [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
    for (int y = start; y < height; y += step) rows.push_back(y);
  return rows;
}

}  // namespace

bool ImageDataDecodes(const QByteArray& data, int from, int end, int64_t pixels) {
  const auto* b = reinterpret_cast<const uint8_t*>(data.constData());
  if (from < 0 || from >= end || end > data.size()) return false;
  const int size = b[from];
  if (size < 1 || size > 8) return false;
  // The sub-blocks' bytes side by side, with room to read eight at a time
  // past the last: the codes are then read without a test per byte.
  thread_local std::vector<uint8_t> codes;
  codes.clear();
  for (int pos = from + 1; pos < end && b[pos] != 0; pos += 1 + b[pos]) {
    if (pos + 1 + b[pos] > end) return false;
    codes.insert(codes.end(), b + pos + 1, b + pos + 1 + b[pos]);
  }
  const uint64_t totalBits = uint64_t(codes.size()) * 8;
  codes.resize(codes.size() + 8, 0);
  const uint8_t* next = codes.data();
  // giflib's bookkeeping: running counts every code read since the last
  // clear, from clear + 2; the entry running - 2 is defined by each code but
  // the first; codes widen once running passes 2^width, up to 12 bits.
  constexpr int kCodes = 4096;
  const int clear = 1 << size, eoi = clear + 1;
  uint16_t length[kCodes];  // pixels each entry stands for; 0: none yet
  std::fill_n(length, clear, uint16_t(1));
  std::fill(length + clear, length + kCodes, uint16_t(0));
  int running = clear + 2, width = size + 1, last = -1;
  uint64_t bits = 0, used = 0;  // bits held, and bits taken as codes
  int held = 0;
  while (pixels > 0) {
    if (held < width) {
      uint64_t word;
      std::memcpy(&word, next, 8);
      bits |= word << held;
      const int bytes = (63 - held) >> 3;
      next += bytes;
      held += bytes * 8;
    }
    if (used + uint64_t(width) > totalBits) return false;  // the data ends first
    const int code = int(bits & ((1u << width) - 1));
    bits >>= width;
    held -= width;
    used += uint64_t(width);
    if (running < kCodes + 1 && ++running > (1 << width) && width < 12) ++width;
    if (code == clear) {
      std::fill(length + clear, length + std::min(running, kCodes), uint16_t(0));
      running = clear + 2, width = size + 1, last = -1;
      continue;
    }
    if (code == eoi) return false;  // before the last pixel
    int count = length[code];
    if (count == 0) {
      if (code != running - 2 || last < 0) return false;  // an entry not made yet
      count = length[last] + 1;  // the entry this very code defines
    }
    if (last >= 0 && running - 2 < kCodes && length[running - 2] == 0) length[running - 2] = uint16_t(length[last] + 1);
    last = code;
    pixels -= count;
  }
  return true;
}

TFrameDecoder::TFrameDecoder(const QByteArray& data, const TRect& screen) : Reader{&data, 0}, Screen(screen) {
  int error = 0;
  Gif = DGifOpen(&Reader, ReadFromBuffer, &error);
}

TFrameDecoder::~TFrameDecoder() {
  int error = 0;
  if (Gif) DGifCloseFile(static_cast<GifFileType*>(Gif), &error);
}

bool TFrameDecoder::Next(TDecodedFrame& frame) {
  auto* gif = static_cast<GifFileType*>(Gif);
  if (!gif) return false;
  for (;;) {
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &type) != GIF_OK) return false;
    if (type == EXTENSION_RECORD_TYPE) {
      if (!SkipExtension(gif)) return false;
      continue;
    }
    if (type != IMAGE_DESC_RECORD_TYPE) return false;
    if (DGifGetImageDesc(gif) != GIF_OK) return false;
    const GifImageDesc& d = gif->Image;
    if (d.Width <= 0 || d.Height <= 0) return false;
    frame.Whole = TRect::Sized(d.Left, d.Top, d.Width, d.Height);
    frame.Rect = frame.Whole.Intersected(Screen);
    const TRect& r = frame.Rect;
    frame.Indices.resize(size_t(r.Width()) * r.Height());
    Line.resize(size_t(d.Width));
    const std::vector<int> rows = d.Interlace ? InterlacedRows(d.Height) : std::vector<int>();
    for (int line = 0; line < d.Height; ++line) {
      const int y = d.Top + (d.Interlace ? rows[size_t(line)] : line);
      if (DGifGetLine(gif, Line.data(), d.Width) != GIF_OK) return false;
      if (y >= r.Top && y < r.Bottom)
        std::copy_n(Line.begin() + (r.Left - d.Left), r.Width(), frame.Indices.begin() + size_t(y - r.Top) * r.Width());
    }
    // giflib keeps every descriptor it met; one frame at a time needs none of them.
    // (It does not reset the count, which the next descriptor appends at.)
    GifFreeSavedImages(gif);
    gif->ImageCount = 0;
    return true;
  }
}
