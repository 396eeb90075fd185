#include "reduce/LzwReference.h"

#include <algorithm>

namespace {

struct Code {
  unsigned value;
  int width;
};

QByteArray Pack(const std::vector<Code>& codes) {
  std::vector<uint8_t> bytes;
  uint64_t pending = 0;
  int held = 0;
  for (const Code& c : codes) {
    pending |= uint64_t(c.value) << held;
    held += c.width;
    for (; held >= 8; held -= 8, pending >>= 8) bytes.push_back(uint8_t(pending));
  }
  if (held > 0) bytes.push_back(uint8_t(pending));
  QByteArray out;
  for (size_t at = 0; at < bytes.size(); at += 255) {
    const size_t n = std::min<size_t>(255, bytes.size() - at);
    out.append(char(n));
    out.append(reinterpret_cast<const char*>(bytes.data() + at), qsizetype(n));
  }
  out.append(char(0));
  return out;
}

class StringTable {
 public:
  static constexpr int kSlots = 5119;
  StringTable() { Clear(); }
  void Clear() { keys_.assign(kSlots, -1), codes_.assign(kSlots, 0); }

  // The code of the string, or -1 with `slot` at the place to enter it.
  int Find(int key, int home, int& slot) const {
    slot = home;
    if (keys_[slot] == key) return int(codes_[slot]);
    if (keys_[slot] < 0) return -1;
    const int step = home == 0 ? 1 : kSlots - home;
    for (;;) {
      slot = (slot - step + kSlots) % kSlots;
      if (keys_[slot] == key) return int(codes_[slot]);
      if (keys_[slot] <= 0) return -1;
    }
  }
  void Enter(int slot, int key, unsigned code) { keys_[slot] = key, codes_[slot] = code; }

 private:
  std::vector<int> keys_;
  std::vector<unsigned> codes_;
};

}  // namespace

QByteArray ReferenceLzw(const std::vector<uint8_t>& indices, int bits) {
  const int m = bits < 2 ? 2 : bits;
  const unsigned clear = 1u << m, end = clear + 1;
  std::vector<Code> codes;
  int width = m + 1;
  unsigned next = clear + 2;
  bool restart = false;
  auto write = [&](unsigned code) {
    codes.push_back({code, width});
    if (restart) {
      width = m + 1;
      restart = false;
    } else if (width < 12 && next >= (1u << width)) {
      ++width;
    }
  };
  StringTable table;
  write(clear);
  int prefix = indices.at(0);
  for (size_t i = 1; i < indices.size(); ++i) {
    const int c = indices[i];
    const int key = (c << 12) + prefix;
    int slot;
    const int found = table.Find(key, (c << 4) ^ prefix, slot);
    if (found >= 0) {
      prefix = found;
      continue;
    }
    write(unsigned(prefix));
    prefix = c;
    if (next < 4096) {
      table.Enter(slot, key, next++);
    } else {
      table.Clear();
      next = clear + 2;
      restart = true;
      write(clear);
    }
  }
  write(unsigned(prefix));
  write(end);
  QByteArray out(1, char(m));
  out.append(Pack(codes));
  return out;
}
