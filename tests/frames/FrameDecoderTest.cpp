// The decoder every save is judged with, against giflib on code streams no
// encoder writes: random strings, the table run full without a clear, codes
// naming the entry they define, clears anywhere; and on every byte of a
// frame's data changed in turn.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "FramePlans.h"
#include "SaveOracle.h"
#include "common/GifAnimation.h"
#include "document/GifFrames.h"
#include "frames/FrameDecoder.h"

namespace {

// A valid stream of random codes of the given minimum size, as one frame of
// width x height over a table of 2^size greys, with the pixels it makes.
struct TRandomFrame {
  QByteArray Gif;
  int Width = 0, Height = 0;
};

TRandomFrame RandomCodes(std::mt19937& random, int size, int codes, int clearEvery, int cut = 0) {
  const int clear = 1 << size;
  std::vector<int> length(4096, 0);
  std::fill_n(length.begin(), clear, 1);
  int running = clear + 2, width = size + 1, last = -1;
  int64_t pixels = 0;
  std::vector<uint8_t> packed;
  uint64_t acc = 0;
  int bits = 0;
  const auto put = [&](int code) {
    acc |= uint64_t(code) << bits;
    bits += width;
    for (; bits >= 8; bits -= 8, acc >>= 8) packed.push_back(uint8_t(acc));
    if (running < 4097 && ++running > (1 << width) && width < 12) ++width;
  };
  put(clear);
  running = clear + 2, width = size + 1;
  for (int n = 0; n < codes; ++n) {
    if (clearEvery > 0 && n % clearEvery == clearEvery - 1) {
      put(clear);
      std::fill(length.begin() + clear, length.end(), 0);
      running = clear + 2, width = size + 1, last = -1;
      continue;
    }
    // The entry this code makes, once it is read.
    const int entry = (running < 4097 ? running + 1 : running) - 2;
    // A literal, a made entry, or the entry this code makes.
    int code = int(random() % uint32_t(clear));
    const int pick = int(random() % 8);
    if (last >= 0 && entry > clear + 2 && pick < 5) code = clear + 2 + int(random() % uint32_t(entry - clear - 2));
    if (last >= 0 && pick == 5 && entry < 4096) code = entry;
    if (last >= 0 && pick == 6) code = std::min(entry, 4095);
    const int count = length[code] ? length[code] : length[last] + 1;
    put(code);
    if (last >= 0 && entry < 4096 && length[entry] == 0) length[entry] = length[last] + 1;
    last = code;
    pixels += count;
  }
  put(clear + 1);
  if (bits > 0) packed.push_back(uint8_t(acc));
  packed.resize(packed.size() - size_t(cut));
  TRandomFrame f;
  f.Width = 997;
  f.Height = int(std::min<int64_t>(pixels / f.Width + (cut > 0), 65535));
  QByteArray& g = f.Gif;
  const auto word = [&](int v) { g += char(v & 0xFF), g += char(v >> 8); };
  g = "GIF89a";
  word(f.Width), word(f.Height);
  g += char(0x80 | (size - 1)), g += char(0), g += char(0);
  for (int i = 0; i < clear; ++i) g += QByteArray(3, char(i));
  g += char(0x2C), word(0), word(0), word(f.Width), word(f.Height), g += char(0);
  g += char(size);
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - at);
    g += char(n);
    g += QByteArray(reinterpret_cast<const char*>(packed.data() + at), qsizetype(n));
  }
  g += char(0), g += char(0x3B);
  return f;
}

}  // namespace

TEST(FrameDecoder, DecodesRandomCodeStreamsAsGiflibDoes) {
  std::mt19937 random(20261207);
  // size, codes, clear every (0: never: the table runs full), bytes cut off the end (each run one more)
  const struct {
    int Size, Codes, ClearEvery, Cut = 0;
  } cases[] = {{2, 9000, 0}, {8, 9000, 0}, {4, 20000, 700}, {1, 6000, 0}, {8, 3000, 5}, {3, 12000, 4090}, {8, 3000, 0, 2}};
  for (const auto& c : cases)
    for (int run = 0; run < (c.Cut ? 12 : 4); ++run) {
      const TRandomFrame f = RandomCodes(random, c.Size, c.Codes, c.ClearEvery, c.Cut ? c.Cut + run : 0);
      ASSERT_GT(f.Height, 0);
      if (c.Cut) {  // wide codes ending early, at every offset of a read: refused by giflib, the decoder, the walk
        const TFrameWalk walk = WalkGifFrames(f.Gif);
        TDecodedFrame ours;
        EXPECT_TRUE(Rasters(f.Gif).empty() && !TFrameDecoder(f.Gif, walk, {1, 0, 9, 9}).Next(ours) &&
                    !ImageDataDecodes(f.Gif, ImageDataOf(walk.Frames.at(0)), walk.Frames[0].End, int64_t(f.Width) * f.Height))
            << "size " << c.Size << " run " << run;
        continue;
      }
      const std::vector<TRaster> read = Rasters(f.Gif);
      ASSERT_EQ(read.size(), 1u) << "giflib refused size " << c.Size << " run " << run;
      const std::vector<uint8_t>& giflib = read[0].Indices;
      const TFrameWalk walk = WalkGifFrames(f.Gif);
      ASSERT_EQ(walk.Frames.size(), 1u);
      TFrameDecoder decoder(f.Gif, walk, TRect::Sized(0, 0, f.Width, f.Height));
      TDecodedFrame ours;
      ASSERT_TRUE(decoder.Next(ours)) << "size " << c.Size << " run " << run;
      EXPECT_TRUE(ours.Indices == giflib) << "size " << c.Size << " codes " << c.Codes << " run " << run;
      // Kept in part, a few rows at a time: the rows the screen holds.
      const TRect screen = TRect::Sized(3, 1, f.Width - 5, f.Height - 1);
      TFrameDecoder cropping(f.Gif, walk, screen);
      ASSERT_TRUE(cropping.Next(ours));
      bool same = ours.Indices.size() == size_t(screen.Width()) * screen.Height();
      for (int y = screen.Top; same && y < screen.Bottom; ++y)
        same = std::equal(giflib.begin() + y * f.Width + screen.Left, giflib.begin() + y * f.Width + screen.Right,
                          ours.Indices.begin() + (y - screen.Top) * screen.Width());
      EXPECT_TRUE(same) << "cropped, size " << c.Size << " run " << run;
      EXPECT_TRUE(ImageDataDecodes(f.Gif, ImageDataOf(walk.Frames[0]), walk.Frames[0].End,
                                   int64_t(f.Width) * f.Height));
    }
}

// The decoder the judge reads every frame with, and the walk of codes that
// keeps full-frame animations from being decoded, never let through image
// data giflib refuses, and decode what they take to giflib's pixels: every
// byte of a frame's data changed in turn, and the three compared.
TEST(FrameDecoder, TakesOnlyWhatGiflibDecodesAndAsGiflibDoes) {
  std::vector<uint8_t> p;
  for (int i = 0; i < 40 * 30; ++i) p.push_back(uint8_t((i * 7 + i / 40) % 16 < 9 ? i % 3 : i % 16));
  const QByteArray gif = MakeAnimation(Plan(std::vector<TRgb>(16, kBlack), {Full(p, Packed(1))}, 40, 30));
  const TGifFrame f = WalkGifFrames(gif).Frames.at(0);
  const int data = f.Descriptor + kGifImageDescriptorSize;
  int refused = 0, decoded = 0;
  for (int at = data; at < f.End - 1; ++at)
    for (const uint8_t flip : {0x01, 0x10, 0x80, 0xFF}) {
      QByteArray changed = gif;
      changed[at] = char(uint8_t(changed[at]) ^ flip);
      const TFrameWalk walk = WalkGifFrames(changed);
      if (walk.Frames.size() != 1 || walk.Damaged) continue;  // the blocks themselves broken
      const std::vector<TRaster> giflib = Rasters(changed);
      TFrameDecoder decoder(changed, walk, TRect::Sized(0, 0, 40, 30));
      TDecodedFrame ours;
      const bool read = decoder.Next(ours);
      const bool walked = ImageDataDecodes(changed, data, walk.Frames[0].End, 40 * 30);
      // giflib reads some codes the two refuse (they draw garbage); those
      // are named damaged, never passed unnamed.
      EXPECT_EQ(read, walked) << "byte " << at << " ^ " << int(flip);
      if (read) {
        ASSERT_EQ(giflib.size(), 1u) << "byte " << at << " ^ " << int(flip);
        EXPECT_EQ(ours.Indices, giflib[0].Indices) << "byte " << at << " ^ " << int(flip);
        ++decoded;
      }
      refused += !walked;
    }
  EXPECT_GT(decoded, 0);
  EXPECT_GT(refused, 0);
  EXPECT_TRUE(ImageDataDecodes(gif, data, f.End, 40 * 30));
}
