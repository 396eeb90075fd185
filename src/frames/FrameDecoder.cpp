#include "frames/FrameDecoder.h"

#include <algorithm>
#include <cstring>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/asan_interface.h>
#endif

namespace {

constexpr int kCodes = 4096;  // 12-bit codes
constexpr size_t kReadRoom = 9;

// The image data at data[from]: its minimum code size (0 when it is out of
// range or a sub-block reaches past end), and the sub-blocks' bytes side by
// side in codes, with room to read eight at a time past the last, so that
// the codes are read without a test per byte. A refill may start one byte
// past the last (a code of 9 bits or more can leave a whole byte held when
// the data ends), so the room is nine bytes, not eight.
struct TCodes {
  int Size = 0;
  const uint8_t* Bytes = nullptr;
  uint64_t Bits = 0;
};
TCodes GatherCodes(const QByteArray& data, int from, int end) {
  if (from < 0 || from >= end || end > data.size()) return {};
  const auto* b = reinterpret_cast<const uint8_t*>(data.constData());
  const int size = b[from];
  if (size < 1 || size > 8) return {};
  thread_local std::vector<uint8_t> codes;
#ifdef __SANITIZE_ADDRESS__
  ASAN_UNPOISON_MEMORY_REGION(codes.data(), codes.capacity());
#endif
  codes.clear();
  for (int pos = from + 1; pos < end && b[pos] != 0; pos += 1 + b[pos]) {
    if (pos + 1 + b[pos] > end) return {};
    codes.insert(codes.end(), b + pos + 1, b + pos + 1 + b[pos]);
  }
  const uint64_t bits = uint64_t(codes.size()) * 8;
  codes.resize(codes.size() + kReadRoom, 0);
#ifdef __SANITIZE_ADDRESS__
  // The buffer is kept from frame to frame, larger than this frame needs: a
  // read past the room is caught only if the rest is marked unreadable.
  ASAN_POISON_MEMORY_REGION(codes.data() + codes.size(), codes.capacity() - codes.size());
#endif
  return {size, codes.data(), bits};
}

// How a decode keeps its pixels: each string spelt from the table into a
// buffer flushed a few rows at a time, or the whole frame in one buffer, each
// string copied from where it was written before, eight bytes at a time.
enum class TKeep { Spelt, Copied };

// Room past the last pixel: a code's string, and one copy's overshoot.
constexpr size_t kSlack = kCodes + 8;

// Decodes pixels pixels of codes of the given minimum size into buf. Spelt,
// flush(pos) is called whenever the running position passes limit (buf holds
// limit + kSlack) and once at the end; it returns the pixels it left at
// buf's start. Copied, buf holds pixels + kSlack.
template <TKeep kKeep, class TFlush>
bool DecodeCodes(const uint8_t* next, uint64_t totalBits, int size, int64_t pixels, uint8_t* buf, size_t limit,
                 TFlush&& flush) {
  // giflib's bookkeeping: running counts every code read since the last
  // clear, from clear + 2; the entry running - 2 is defined by each code but
  // the first; codes widen once running passes 2^width, up to 12 bits.
  const int clear = 1 << size, eoi = clear + 1;
  uint16_t length[kCodes];  // pixels each entry stands for; 0: none yet
  uint16_t prefix[kCodes];
  uint8_t suffix[kCodes], first[kCodes];
  uint32_t start[kCodes];  // Copied: where each entry's string was written
  std::fill_n(length, clear, uint16_t(1));
  std::fill(length + clear, length + kCodes, uint16_t(0));
  if constexpr (kKeep == TKeep::Spelt)
    for (int c = 0; c < clear; ++c) suffix[c] = first[c] = uint8_t(c);
  // An entry's string, written back to front from its last pixel.
  const auto spell = [&](int code, uint8_t* to, int count) {
    uint8_t* p = to + count - 1;
    while (code >= clear) {
      *p-- = suffix[code];
      code = prefix[code];
    }
    *p = uint8_t(code);
  };
  // The source lies wholly before to, so reading past its end is harmless.
  const auto copy = [](uint8_t* to, const uint8_t* from, int count) {
    for (int i = 0; i < count; i += 8) {
      uint64_t word;
      std::memcpy(&word, from + i, 8);
      std::memcpy(to + i, &word, 8);
    }
  };
  int running = clear + 2, width = size + 1, last = -1;
  uint64_t bits = 0, used = 0;  // bits held, and bits taken as codes
  int held = 0;
  size_t pos = 0, lastPos = 0;
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
    const int entry = running - 2;  // the entry this code defines (the last stays once the table is full)
    int count = length[code];
    if (count == 0) {
      if (code != entry || last < 0) return false;  // an entry not made yet
      // The entry this very code defines: the last string and its first pixel.
      count = length[last] + 1;
      if constexpr (kKeep == TKeep::Spelt) {
        spell(last, buf + pos, count - 1);
        buf[pos + size_t(count) - 1] = first[last];
        prefix[entry] = uint16_t(last), suffix[entry] = first[entry] = first[last];
      }
      if constexpr (kKeep == TKeep::Copied) {
        copy(buf + pos, buf + lastPos, count - 1);
        buf[pos + size_t(count) - 1] = buf[lastPos];
        start[entry] = uint32_t(lastPos);
      }
      length[entry] = uint16_t(count);
    } else {
      if constexpr (kKeep == TKeep::Spelt) spell(code, buf + pos, count);
      if constexpr (kKeep == TKeep::Copied) {
        if (code < clear)
          buf[pos] = uint8_t(code);
        else
          copy(buf + pos, buf + start[code], count);
      }
      if (last >= 0 && length[entry] == 0) {
        length[entry] = uint16_t(length[last] + 1);
        if constexpr (kKeep == TKeep::Spelt)
          prefix[entry] = uint16_t(last), suffix[entry] = first[code], first[entry] = first[last];
        if constexpr (kKeep == TKeep::Copied) start[entry] = uint32_t(lastPos);
      }
    }
    last = code;
    pixels -= count;
    lastPos = pos;
    pos += size_t(count);
    if constexpr (kKeep == TKeep::Spelt)
      if (pos > limit) pos = flush(pos);
  }
  if constexpr (kKeep == TKeep::Spelt) flush(pos);
  return true;
}

// A walk of the codes with no pixel kept, only counted: DecodeCodes'
// bookkeeping, most codes taken by whole reads of eight bytes at one width.
struct TWalkState {
  const uint8_t* Bytes;
  uint64_t TotalBits, Used = 0;
  int64_t Pixels;              // still to come
  int Entry = 0;               // the entry the next code defines; kCodes once the table is full
  int LastCount = 0;           // the last code's pixels; 0: none since a clear, so the next defines nothing
  uint16_t Length[kCodes];     // pixels each entry stands for; 0: none (the clear and end codes among them)
};

// Codes of width kWidth, a whole read (57 bits' worth) at a time, without a
// test per code for the data's end, a wider code, a clear or the end code:
// until a read would pass one of those, a code of no pixels comes (left
// unread), or the frame is complete. Full, the table defines nothing more.
template <int kWidth, bool kFull = false>
void WalkWholeReads(TWalkState& w) {
  constexpr int kPerRead = 57 / kWidth;
  uint16_t* length = w.Length;
  int entry = w.Entry, last = w.LastCount;
  int64_t pixels = w.Pixels;
  uint64_t used = w.Used;
  while (pixels > 0 && used + kPerRead * kWidth <= w.TotalBits && (kFull || entry + kPerRead <= (1 << kWidth))) {
    uint64_t word;
    std::memcpy(&word, w.Bytes + (used >> 3), 8);
    word >>= used & 7;
    int i = 0;
    for (; i < kPerRead; ++i) {
      const int code = int(word >> (i * kWidth) & ((1u << kWidth) - 1));
      int count = length[code];
      if (count == 0) {
        if (kFull || code != entry) break;
        count = last + 1;  // the entry this very code defines
      }
      if (!kFull) length[entry++] = uint16_t(last + 1);
      last = count;
      pixels -= count;
    }
    used += uint64_t(i) * kWidth;
    if (i < kPerRead) break;
  }
  w.Entry = entry, w.LastCount = last, w.Pixels = pixels, w.Used = used;
}

using TWholeReads = void (*)(TWalkState&);
constexpr TWholeReads kWholeReads[13] = {
    nullptr,           nullptr,           WalkWholeReads<2>,  WalkWholeReads<3>,  WalkWholeReads<4>,
    WalkWholeReads<5>, WalkWholeReads<6>, WalkWholeReads<7>,  WalkWholeReads<8>,  WalkWholeReads<9>,
    WalkWholeReads<10>, WalkWholeReads<11>, WalkWholeReads<12>};

// Whether pixels pixels of codes walk through: whole reads where they can,
// and a code at a time, with every test, between them.
bool WalkCodes(const uint8_t* bytes, uint64_t totalBits, int size, int64_t pixels) {
  const int clear = 1 << size;
  TWalkState w{bytes, totalBits, 0, pixels, clear + 1, 0, {}};
  std::fill_n(w.Length, clear, uint16_t(1));
  int width = size + 1;
  while (w.Pixels > 0) {
    if (w.LastCount != 0) {
      (w.Entry < kCodes ? kWholeReads[width] : WalkWholeReads<12, true>)(w);
      if (w.Pixels <= 0) break;
      if (w.Entry >= (1 << width) && width < 12) ++width;
    }
    if (w.TotalBits - w.Used < uint64_t(width)) return false;  // the data ends first
    uint64_t word;
    std::memcpy(&word, bytes + (w.Used >> 3), 8);
    const int code = int(word >> (w.Used & 7) & ((1u << width) - 1));
    w.Used += uint64_t(width);
    if (code == clear) {
      for (int e = clear + 2; e < std::min(w.Entry, kCodes); ++e) w.Length[e] = 0;
      w.Entry = clear + 1, w.LastCount = 0, width = size + 1;
      continue;
    }
    int count = w.Length[code];
    if (count == 0) {
      // The end code before the last pixel, or an entry not made yet.
      if (code != w.Entry || w.LastCount == 0) return false;
      count = w.LastCount + 1;
    }
    if (w.LastCount == 0)
      w.Entry = clear + 2;  // the first code since a clear defines nothing
    else if (w.Entry < kCodes)
      w.Length[w.Entry++] = uint16_t(w.LastCount + 1);
    w.LastCount = count;
    w.Pixels -= count;
    if (w.Entry >= (1 << width) && width < 12) ++width;
  }
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
  const TCodes codes = GatherCodes(data, from, end);
  return codes.Size > 0 && WalkCodes(codes.Bytes, codes.Bits, codes.Size, pixels);
}

bool DecodeImageData(const QByteArray& data, int from, int end, const TRect& whole, bool interlaced,
                     const TRect& keep, std::vector<uint8_t>& out) {
  const TCodes codes = GatherCodes(data, from, end);
  if (codes.Size == 0) return false;
  if (whole.Empty()) {
    // A frame of no pixels draws nothing, and its codes name none.
    out.clear();
    return true;
  }
  const int w = whole.Width(), h = whole.Height();
  const int64_t pixels = int64_t(w) * h;
  const auto none = [](size_t) { return size_t(0); };
  if (!interlaced && keep == whole) {
    // The whole frame is kept as it comes: straight into out.
    out.resize(size_t(pixels) + kSlack);
    const bool decoded = DecodeCodes<TKeep::Copied>(codes.Bytes, codes.Bits, codes.Size, pixels, out.data(), 0, none);
    out.resize(size_t(pixels));
    return decoded;
  }
  out.resize(size_t(keep.Width()) * keep.Height());
  const std::vector<int> rows = interlaced ? InterlacedRows(h) : std::vector<int>();
  // Whole rows go where they belong as soon as they are decoded; a part row
  // waits at the buffer's start.
  const size_t limit = std::max<size_t>(size_t(1) << 18, size_t(w));
  thread_local std::vector<uint8_t> buf;
  buf.resize(limit + kSlack);
  int line = 0;
  const auto flush = [&](size_t pos) {
    size_t at = 0;
    for (; pos - at >= size_t(w) && line < h; at += size_t(w), ++line) {
      const int y = whole.Top + (interlaced ? rows[size_t(line)] : line);
      if (y >= keep.Top && y < keep.Bottom && !keep.Empty())
        std::memcpy(&out[size_t(y - keep.Top) * keep.Width()], &buf[at + size_t(keep.Left - whole.Left)],
                    size_t(keep.Width()));
    }
    std::memmove(buf.data(), buf.data() + at, pos - at);
    return pos - at;
  };
  return DecodeCodes<TKeep::Spelt>(codes.Bytes, codes.Bits, codes.Size, pixels, buf.data(), limit, flush);
}

bool TFrameDecoder::Next(TDecodedFrame& frame) {
  if (Frame >= Walk.Frames.size()) return false;
  const TGifFrame& f = Walk.Frames[Frame++];
  frame.Whole = TRect::Sized(f.Left, f.Top, f.Width, f.Height);
  frame.Rect = frame.Whole.Intersected(Screen);
  const bool interlaced = uint8_t(Data[f.Descriptor + 9]) & 0x40;
  return DecodeImageData(Data, ImageDataOf(f), f.End, frame.Whole, interlaced, frame.Rect, frame.Indices);
}
