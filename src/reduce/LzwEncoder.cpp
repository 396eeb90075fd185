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
  TCodeWriter(QByteArray& out, qsizetype expected) : Out(out), Used(out.size()) {
    Out.resize(Used + expected + 4096);
    Data = Out.data();
  }

  void Emit(uint32_t code, int width) {
    Acc |= code << Bits;
    Bits += width;
    while (Bits >= 8) {
      AddByte(uint8_t(Acc));
      Acc >>= 8;
      Bits -= 8;
    }
  }

  // Pads the last byte with zero bits and closes the open sub-block.
  void Flush() {
    while (Bits > 0) {
      AddByte(uint8_t(Acc));
      Acc >>= 8;
      Bits = Bits > 8 ? Bits - 8 : 0;
    }
    Acc = 0;
    if (BlockStart >= 0) Data[BlockStart] = char(InBlock);
    BlockStart = -1;
    InBlock = 0;
  }

  void Finish() { Out.resize(Used); }

 private:
  void AddByte(uint8_t b) {
    if (Used + 2 > Out.size()) Grow();
    if (BlockStart < 0 || InBlock == 255) {
      if (BlockStart >= 0) Data[BlockStart] = char(255);
      BlockStart = Used++;
      InBlock = 0;
    }
    Data[Used++] = char(b);
    ++InBlock;
  }

  void Grow() {
    Out.resize(Out.size() + Out.size() / 2 + 4096);
    Data = Out.data();
  }

  QByteArray& Out;
  char* Data;
  qsizetype Used;
  qsizetype BlockStart = -1;
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

  int32_t keys[kTableSize];
  uint16_t codes[kTableSize];
  std::memset(keys, 0xFF, sizeof keys);

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

  for (size_t p = 1; p < count; ++p) {
    if (reports && ((count - p) & mask) == 0) progress(ProgressPercent(count - p, count));
    const int32_t c = indices[p];
    const int32_t key = (c << 12) + prefix;
    int slot = (c << 4) ^ prefix;
    if (keys[slot] == key) {
      prefix = codes[slot];
      continue;
    }
    if (keys[slot] >= 0) {
      // Key 0 (index 0 after prefix 0) blocks the first slot but ends a probe.
      const int step = slot == 0 ? 1 : kTableSize - slot;
      bool found = false;
      do {
        slot -= step;
        if (slot < 0) slot += kTableSize;
        if (keys[slot] == key) {
          found = true;
          break;
        }
      } while (keys[slot] > 0);
      if (found) {
        prefix = codes[slot];
        continue;
      }
    }
    output(uint32_t(prefix));
    prefix = c;
    if (freeCode < kMaxCodes) {
      keys[slot] = key;
      codes[slot] = uint16_t(freeCode++);
    } else {
      std::memset(keys, 0xFF, sizeof keys);
      freeCode = clearCode + 2;
      clearPending = true;
      output(clearCode);
    }
  }

  output(uint32_t(prefix));
  output(endCode);
  writer.Flush();
  writer.Finish();
  out.append(char(0));
}
