#include "frames/AlphaFrames.h"

#include <cstring>

#include "frames/FrameDecoder.h"
#include "frames/ReachTarget.h"
#include "frames/Screen.h"

namespace {

// A canvas larger than this is not composed: a few of them are held at once.
constexpr int64_t kMaxAlphaPixels = int64_t(1) << 26;

int DelayOf(const QByteArray& source, const TGifFrame& f) {
  if (f.Gce < 0) return 0;
  const auto* b = reinterpret_cast<const uint8_t*>(source.constData()) + f.Gce;
  return b[4] | b[5] << 8;
}

// The loop field of the application block browsers read (NETSCAPE2.0, or
// its older twin ANIMEXTS1.0), looked for among the blocks before the first
// image, where writers put it.
std::optional<uint16_t> LoopsOf(const QByteArray& source, const TFrameWalk& walk) {
  const auto* b = reinterpret_cast<const uint8_t*>(source.constData());
  const int64_t size = source.size();
  if (walk.Frames.empty() || size < kGifScreenDescriptorEnd) return std::nullopt;
  int64_t pos = kGifScreenDescriptorEnd + (b[10] & 0x80 ? GifTableBytes(b[10]) : 0);
  const int64_t end = walk.Frames[0].Descriptor;
  while (pos + 2 < end && b[pos] == 0x21) {
    const bool application = b[pos + 1] == 0xFF && b[pos + 2] == 11 && pos + 14 <= end &&
                             (std::memcmp(b + pos + 3, "NETSCAPE2.0", 11) == 0 ||
                              std::memcmp(b + pos + 3, "ANIMEXTS1.0", 11) == 0);
    if (application && pos + 18 <= end && b[pos + 14] >= 3 && b[pos + 15] == 1)
      return uint16_t(b[pos + 16] | b[pos + 17] << 8);
    pos = SkipGifSubBlocks(source, pos + 2);
    if (pos < 0) break;
  }
  return std::nullopt;
}

// The screen a browser shows: grown to hold the first frame only.
TRect ScreenOf(const TFrameWalk& walk) {
  if (walk.Frames.empty()) return {};
  return TRect{0, 0, walk.ScreenWidth, walk.ScreenHeight}.United(RectOf(walk.Frames[0]));
}

}  // namespace

TAlphaCanvas AlphaCanvasOf(const TGifDocument& doc, bool) {
  const TFrameWalk walk = WalkGifFrames(doc.GifData);
  return {ScreenOf(walk), walk.Frames.size(), LoopsOf(doc.GifData, walk)};
}

TAlphaFramesResult ComposeAlphaFrames(const TGifDocument& doc, bool allFrames, const TAlphaSink& sink,
                                      const TPlanProgress& progress) {
  TAlphaFramesResult result;
  const QByteArray& source = doc.GifData;
  const TFrameWalk walk = WalkGifFrames(source);
  const TRect area = ScreenOf(walk);
  if (walk.Frames.empty()) return result;
  // Frames past a block cut short are unknown: the file would be cut short too.
  if (walk.Damaged) {
    result.UndecodedFrom = int(walk.Frames.size());
    return result;
  }
  if (int64_t(area.Width()) * area.Height() > kMaxAlphaPixels) {
    result.TooLarge = true;
    return result;
  }
  const std::vector<TFrameControl> opened = SourceControls(source, walk);
  // The choice: none when transparency is off (the first frame then shows its
  // transparent entry's colour, as the saved GIF does).
  const bool chosen = doc.TransparentOn && doc.TransparentIndex < doc.ColorCount;
  const TPixel color = chosen ? PixelOf(doc.PaletteColors[doc.TransparentIndex]) : 0;
  const TReach reach = doc.Reach;
  std::optional<TReachTarget> beyond;
  if (chosen && (reach.Tolerance > 0 || reach.Connected || reach.SoftEdges))
    beyond.emplace(color, reach, TTargetRoad::Alpha);
  TStopPoll poll;
  size_t current = 0;
  if (progress) poll = TStopPoll([&] { return progress(int(current), int(walk.Frames.size())); });

  TScreen shown(area);  // the opened picture
  // What the file shows, where the choice is the first frame's alone.
  std::optional<TScreen> saved;
  if (chosen && !allFrames) saved.emplace(area);
  std::vector<TPixel> target;
  TFrameDecoder decoder(source, walk, area);
  TDecodedFrame decoded;
  try {
    for (size_t k = 0; k < walk.Frames.size(); ++k) {
      const TGifFrame& f = walk.Frames[k];
      if (!decoder.Next(decoded) || decoded.Whole != RectOf(f)) {
        result.UndecodedFrom = int(k);
        return result;
      }
      // The first frame's own transparency is set aside: the choice decides it.
      TOutFrame frame{decoded.Rect, std::move(decoded.Indices), TableColors(source, f),
                      k == 0 ? -1 : TransparentOf(opened[k]), false};
      const TRect touched = shown.Last >= 0 ? shown.Drawn : TRect{};
      if (shown.Last >= 0) shown.Dispose(DisposalOf(opened[size_t(shown.Last)]), shown.Drawn);
      shown.Draw(int(k), frame, DisposalOf(opened[k]) == kToPrevious);
      const TPixel* pixels = &shown.Canvas.At(area.Left, area.Top);
      if (chosen && (allFrames || k == 0)) {
        if (beyond) {
          beyond->Make(shown.Canvas, touched.United(shown.Drawn), poll);
          pixels = beyond->Target().data();
        } else {
          target.assign(pixels, pixels + size_t(area.Width()) * area.Height());
          for (TPixel& p : target) p = p == color ? 0 : p;
          pixels = target.data();
        }
      }
      if (chosen && !allFrames) {
        // Later frames drawn as they are over what the first frame's target left.
        if (saved->Last >= 0) saved->Dispose(DisposalOf(opened[size_t(saved->Last)]), saved->Drawn);
        if (k == 0)
          saved->Draw(0, frame, DisposalOf(opened[0]) == kToPrevious, pixels, area);
        else
          saved->Draw(int(k), frame, DisposalOf(opened[k]) == kToPrevious);
        pixels = &saved->Canvas.At(area.Left, area.Top);
      }
      decoded.Indices = std::move(frame.Indices);
      current = k + 1;
      if (!sink(pixels, DelayOf(source, f)) || (progress && !progress(int(current), int(walk.Frames.size())))) {
        result.Stopped = true;
        return result;
      }
    }
  } catch (const TPlanStopped&) {
    result.Stopped = true;
  }
  return result;
}

std::vector<TPixel> AlphaTargetOfPicture(const TCanvas& picture, std::optional<TPixel> chosen, const TReach& reach) {
  const TRect area = picture.Bounds();
  const TPixel* shown = area.Empty() ? nullptr : &picture.At(area.Left, area.Top);
  std::vector<TPixel> pixels(shown, shown + size_t(std::max(area.Width(), 0)) * std::max(area.Height(), 0));
  if (!chosen) return pixels;
  if (reach.Tolerance == 0 && !reach.Connected && !reach.SoftEdges) {
    for (TPixel& p : pixels) p = p == *chosen ? 0 : p;
    return pixels;
  }
  TReachTarget target(*chosen, reach, TTargetRoad::Alpha);
  target.Make(picture);
  return target.Target();
}
