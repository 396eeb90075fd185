#include "reduce/LzwEncoder.h"

#include <cmath>
#include <cstring>

namespace {

constexpr int kTableSize = 5119;  // a prime
constexpr int kMaxCodes = 4096;   // 12-bit codes

// Packs codes least significant bit first into 255-byte data sub-blocks. The
// output grows in large steps so the hot path only checks a pointer.
class TCodeWriter {
 public:
  // The first sub-block opens at once: every stream holds at least one byte.
  TCodeWriter(QByteArray& out, qsizetype expected) : Out(out), Used(out.size()) {
    Out.resize(Used + expected + 4096);
    Data = Out.data();
    Capacity = Out.size();
    BlockStart = Used++;
  }

  void Emit(uint32_t code, int width) {
    Acc |= code << Bits;
    Bits += width;
    if (Bits < 8) return;
    if (Used + 4 > Capacity) Grow();  // room for two bytes and a length byte
    do {
      PutByte(uint8_t(Acc));
      Acc >>= 8;
      Bits -= 8;
    } while (Bits >= 8);
  }

  // Pads the last byte with zero bits, closes the sub-block and trims the output.
  void Finish() {
    if (Bits > 0) {
      if (Used + 4 > Capacity) Grow();
      PutByte(uint8_t(Acc));
    }
    Data[BlockStart] = char(InBlock);
    Out.resize(Used);
  }

 private:
  void PutByte(uint8_t b) {
    if (InBlock == 255) {
      Data[BlockStart] = char(255);
      BlockStart = Used++;
      InBlock = 0;
    }
    Data[Used++] = char(b);
    ++InBlock;
  }

  void Grow() {
    Out.resize(Capacity + Capacity / 2 + 4096);
    Data = Out.data();
    Capacity = Out.size();
  }

  QByteArray& Out;
  char* Data;
  qsizetype Used, Capacity, BlockStart;
  int InBlock = 0;
  uint32_t Acc = 0;
  int Bits = 0;
};

// Percentage of a report, rounded to nearest with halves to even.
int ProgressPercent(size_t remaining, size_t count) {
  return int(std::nearbyint(100.0 - double(remaining) * 100.0 / double(count - 1)));
}

}  // namespace

void LzwCompress(QByteArray& out, const uint8_t* indices, size_t count, int width, int bits,
                 const TGIFProgressHandler& progress) {
  const int minCodeSize = bits < 2 ? 2 : bits;
  const uint32_t clearCode = 1u << minCodeSize;
  const uint32_t endCode = clearCode + 1;
  out.append(char(minCodeSize));

  // A typical photo compresses to well under a byte per pixel; the writer grows
  // the buffer when that guess is short.
  TCodeWriter writer(out, qsizetype(count / 2));

  // Key and code side by side: a hit costs one cache line.
  struct TSlot {
    int32_t Key;
    uint32_t Code;
  };
  static_assert(sizeof(TSlot) == 8, "two words per slot");
  TSlot table[kTableSize];
  auto resetTable = [&] { std::memset(table, 0xFF, sizeof table); };
  resetTable();

  int codeWidth = minCodeSize + 1;
  uint32_t maxCode = (1u << codeWidth) - 1;
  uint32_t freeCode = clearCode + 2;
  bool clearPending = false;

  // The width grows after a code was placed with the old one.
  auto output = [&](uint32_t code) {
    writer.Emit(code, codeWidth);
    if (clearPending) {
      codeWidth = minCodeSize + 1;
      maxCode = (1u << codeWidth) - 1;
      clearPending = false;
    } else if (freeCode > maxCode) {
      ++codeWidth;
      maxCode = codeWidth == 12 ? kMaxCodes : (1u << codeWidth) - 1;
    }
  };

  output(clearCode);
  int32_t prefix = indices[0];
  const bool reports = progress && count > 100000;
  const size_t mask = width > 320 ? 255 : 127;

  // One index: extend the current string, or emit it and start a new one.
  auto step = [&](int32_t c) {
    const int32_t key = (c << 12) + prefix;
    int slot = (c << 4) ^ prefix;
    if (table[slot].Key == key) {
      prefix = int32_t(table[slot].Code);
      return;
    }
    if (table[slot].Key >= 0) {
      // Key 0 (index 0 after prefix 0) blocks the first slot but ends a probe.
      const int stride = slot == 0 ? 1 : kTableSize - slot;
      do {
        slot -= stride;
        if (slot < 0) slot += kTableSize;
        if (table[slot].Key == key) {
          prefix = int32_t(table[slot].Code);
          return;
        }
      } while (table[slot].Key > 0);
    }
    output(uint32_t(prefix));
    prefix = c;
    if (freeCode < kMaxCodes) {
      table[slot] = {key, freeCode++};
    } else {
      resetTable();
      freeCode = clearCode + 2;
      clearPending = true;
      output(clearCode);
    }
  };

  // Runs between progress reports carry no check of their own. A report is
  // due before the index whose remaining count n is a multiple of mask + 1.
  size_t p = 1;
  while (p < count) {
    const size_t due = reports ? count - ((count - p) & ~mask) : count;
    for (; p < due; ++p) step(indices[p]);
    if (p < count) {
      progress(ProgressPercent(count - p, count));
      step(indices[p++]);
    }
  }

  output(uint32_t(prefix));
  output(endCode);
  writer.Finish();
  out.append(char(0));
}
