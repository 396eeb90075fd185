#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "reduce/LzwEncoder.h"

namespace {

QByteArray Compress(const std::vector<uint8_t>& indices, int bits, int width = 1,
                    const TGIFProgressHandler& progress = {}) {
  QByteArray out;
  LzwCompress(out, indices.data(), indices.size(), width, bits, progress);
  return out;
}

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray b;
  for (int v : values) b.append(char(v));
  return b;
}

// The data sub-blocks' lengths; the stream must end with the terminator.
std::vector<int> BlockLengths(const QByteArray& data) {
  std::vector<int> lengths;
  qsizetype at = 1;
  while (at < data.size() && data[at] != 0) {
    lengths.push_back(uint8_t(data[at]));
    at += 1 + uint8_t(data[at]);
  }
  EXPECT_EQ(at, data.size() - 1) << "terminator must close the data";
  return lengths;
}

// Reads the codes back the way a GIF decoder tracks the code width.
std::vector<int> Codes(const QByteArray& data) {
  const int m = data[0];
  QByteArray bytes;
  for (qsizetype at = 1; at < data.size() && data[at] != 0; at += 1 + uint8_t(data[at]))
    bytes.append(data.mid(at + 1, uint8_t(data[at])));
  const int clear = 1 << m, end = clear + 1;
  int width = m + 1, maxCode = 1 << width, running = clear + 2;
  size_t bit = 0;
  std::vector<int> codes;
  while (bit + size_t(width) <= size_t(bytes.size()) * 8) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit)
      code |= ((uint8_t(bytes[qsizetype(bit / 8)]) >> (bit % 8)) & 1) << i;
    codes.push_back(code);
    if (running < 4097 && ++running > maxCode && width < 12) {
      maxCode <<= 1;
      ++width;
    }
    if (code == clear) {
      width = m + 1;
      maxCode = 1 << width;
      running = clear + 2;
    }
    if (code == end) break;
  }
  return codes;
}

std::vector<uint8_t> RandomIndices(size_t n, int bits, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (auto& x : v) x = uint8_t(rng() & ((1u << bits) - 1));
  return v;
}

}  // namespace

TEST(LzwEncoder, WritesTheKnownByteSequences) {
  EXPECT_EQ(Compress({0}, 1), Bytes({0x02, 0x02, 0x44, 0x01, 0x00}));
  // The last prefix still goes out with 3 bits, the end code already with 4.
  EXPECT_EQ(Compress({0, 1, 0, 1}, 1), Bytes({0x02, 0x02, 0x44, 0x5C, 0x00}));
  EXPECT_EQ(Compress({3, 3, 3}, 2), Bytes({0x02, 0x02, 0x9C, 0x0B, 0x00}));
}

TEST(LzwEncoder, EightBitsStartWithClear256AtNineBits) {
  const QByteArray out = Compress({7}, 8);
  EXPECT_EQ(out[0], 8);
  EXPECT_EQ(Codes(out), (std::vector<int>{256, 7, 257}));
}

TEST(LzwEncoder, ClearsOnceCode4095IsAssigned) {
  const auto indices = RandomIndices(60000, 8, 7);
  const std::vector<int> codes = Codes(Compress(indices, 8));
  std::vector<size_t> clears;
  for (size_t i = 0; i < codes.size(); ++i)
    if (codes[i] == 256) clears.push_back(i);
  ASSERT_GE(clears.size(), 3u);
  // Codes 258..4095 are assigned after 3838 prefixes; the 3839th is not, and a
  // clear (read at 12 bits) follows it; then widths restart at 9 bits.
  EXPECT_EQ(clears[1] - clears[0] - 1, 3839u);
  EXPECT_EQ(clears[2] - clears[1] - 1, 3839u);
  EXPECT_EQ(codes.back(), 257);
  for (size_t i = clears[1] + 1; i < clears[1] + 200; ++i) EXPECT_LT(codes[i], 512);
}

TEST(LzwEncoder, SubBlocksAreFullExceptTheLast) {
  for (size_t n : {size_t(1), size_t(700), size_t(5000), size_t(100000)}) {
    const std::vector<int> lengths = BlockLengths(Compress(RandomIndices(n, 8, uint32_t(n)), 8));
    ASSERT_FALSE(lengths.empty());
    for (size_t i = 0; i + 1 < lengths.size(); ++i) EXPECT_EQ(lengths[i], 255) << n;
    EXPECT_GE(lengths.back(), 1);
    EXPECT_LE(lengths.back(), 255);
  }
}

TEST(LzwEncoder, ReportsProgressOnlyAboveOneHundredThousandPixels) {
  std::vector<int> reports;
  auto record = [&](int percent) { reports.push_back(percent); };
  Compress(std::vector<uint8_t>(100000, 1), 1, 400, record);
  EXPECT_TRUE(reports.empty());

  // 400 x 300: every 256 indices; 300 x 400: every 128.
  Compress(std::vector<uint8_t>(120000, 1), 1, 400, record);
  EXPECT_EQ(reports.size(), 119999u / 256);
  EXPECT_EQ(reports.front(), 0);
  EXPECT_EQ(reports.back(), 100);
  EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
  reports.clear();
  Compress(std::vector<uint8_t>(120000, 1), 1, 300, record);
  EXPECT_EQ(reports.size(), 119999u / 128);
}
