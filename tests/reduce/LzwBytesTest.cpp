// The coder's bytes against the reference coder's over generated streams of
// every code size: noise, runs, sparse pictures (whose strings of index 0
// after 0 meet the table's probing rule), tables filled past 4096 strings,
// and rows of 1 and 65535 pixels.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "reduce/LzwEncoder.h"
#include "reduce/LzwReference.h"

namespace {

using Stream = std::vector<uint8_t>;

Stream Noise(std::mt19937& rng, size_t n, int values) {
  Stream s(n);
  for (uint8_t& v : s) v = uint8_t(rng() % unsigned(values));
  return s;
}

Stream Runs(std::mt19937& rng, size_t n, int values, unsigned longest) {
  Stream s;
  while (s.size() < n) s.insert(s.end(), 1 + rng() % longest, uint8_t(rng() % unsigned(values)));
  s.resize(n);
  return s;
}

// Mostly index 0, now and then another value: long strings of zeros.
Stream Sparse(std::mt19937& rng, size_t n, int values, unsigned oneIn) {
  Stream s(n, 0);
  for (uint8_t& v : s)
    if (rng() % oneIn == 0) v = uint8_t(rng() % unsigned(values));
  return s;
}

void ExpectSameBytes(const Stream& s, int bits, int width, const char* kind, int round) {
  QByteArray coded;
  int reports = 0;
  LzwCompress(coded, s.data(), s.size(), width, bits, [&](int) { ++reports; });
  const QByteArray reference = ReferenceLzw(s, bits);
  ASSERT_EQ(coded.size(), reference.size()) << kind << " bits " << bits << " round " << round;
  ASSERT_TRUE(coded == reference) << kind << " bits " << bits << " round " << round;
}

}  // namespace

TEST(LzwBytesTest, GeneratedStreamsMatchTheReferenceToTheByte) {
  std::mt19937 rng(20240614);
  for (int bits = 1; bits <= 8; ++bits) {
    const int values = 1 << bits;
    for (int round = 0; round < 120; ++round) {
      const size_t n = 1 + rng() % (round < 60 ? 300 : 12000);
      ExpectSameBytes(Noise(rng, n, values), bits, int(n), "noise", round);
      ExpectSameBytes(Runs(rng, n, values, 1 + rng() % 400), bits, 64, "runs", round);
      ExpectSameBytes(Sparse(rng, n, values, 2 + rng() % 60), bits, 640, "sparse", round);
    }
  }
}

TEST(LzwBytesTest, TablesFilledManyTimesOverAndExtremeRows) {
  std::mt19937 rng(7);
  for (int bits = 1; bits <= 8; ++bits) {
    const int values = 1 << bits;
    // Far more than 4096 strings: the table is cleared again and again.
    ExpectSameBytes(Noise(rng, 200000, values), bits, 1000, "noise", 0);
    ExpectSameBytes(Sparse(rng, 150000, values, 3), bits, 1000, "sparse", 0);
    // One pixel; one row 65535 wide; two such rows with progress reports.
    ExpectSameBytes(Stream(1, uint8_t(values - 1)), bits, 1, "1x1", 0);
    ExpectSameBytes(Runs(rng, 65535, values, 5000), bits, 65535, "wide row", 0);
    ExpectSameBytes(Noise(rng, 131070, values), bits, 65535, "two wide rows", 0);
  }
}
