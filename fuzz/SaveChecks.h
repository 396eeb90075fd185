#pragma once
// What the fuzz targets of the save share: how the opened file and the save
// compose, and whether readers agree on the opened file's control blocks.
#include <QByteArray>
#include <cstdint>
#include <optional>
#include <utility>

#include "FuzzSupport.h"
#include "common/GifAnimation.h"
#include "document/GifDocument.h"
#include "document/GifFrames.h"
#include "frames/Canvas.h"

// Decoders differ on a control block of the wrong size (giflib takes the
// first, whatever its size): the target is clear only where every one is
// well formed.
inline bool ControlBlocksWellFormed(const QByteArray& gif) {
  const auto* b = reinterpret_cast<const uint8_t*>(gif.constData());
  int64_t pos = kGifScreenDescriptorEnd + ((b[10] & 0x80) ? GifTableBytes(b[10]) : 0);
  while (pos + 2 < gif.size()) {
    if (b[pos] == 0x21) {
      if (b[pos + 1] == 0xF9 && b[pos + 2] != 4) return false;
      pos = SkipGifSubBlocks(gif, pos + 2);
    } else if (b[pos] == 0x2C && pos + kGifImageDescriptorSize < gif.size()) {
      const uint8_t packed = b[pos + 9];
      pos += kGifImageDescriptorSize + ((packed & 0x80) ? GifTableBytes(packed) : 0) + 1;
      if (pos > gif.size()) return true;
      pos = SkipGifSubBlocks(gif, pos);
    } else {
      return true;
    }
    if (pos < 0) return true;
  }
  return true;
}

// The opened picture, its first frame's transparency set aside, and the save,
// each composed, where giflib reads the opened file whole: then the save must
// read too, with as many frames.
inline std::optional<std::pair<TComposed, TComposed>> ComposedSides(const TGifDocument& doc, const QByteArray& saved) {
  QByteArray opened = doc.GifData;
  opened[doc.GceFlagsOffset] = char(uint8_t(opened[doc.GceFlagsOffset]) & ~1);
  // As browsers read it: of several control blocks before an image, the last.
  auto target = ComposeFrames(opened, TControlReading::Last);
  if (!target || WalkGifFrames(doc.GifData).Damaged) return std::nullopt;
  // Never a file that cannot be read back.
  auto shown = ComposeFrames(saved);
  FUZZ_CHECK(shown.has_value());
  FUZZ_CHECK(shown->Canvases.size() == target->Canvases.size());
  return std::make_pair(std::move(*target), std::move(*shown));
}

// The GIF after the input's first skip bytes, its entry data[0] (modulo its
// colours) made transparent; none where it does not read, or where the
// screen grown to every frame is larger than a fuzz run should hold (the
// judge and the compositor hold it).
inline std::optional<TGifDocument> ChosenDocument(const uint8_t* data, size_t size, size_t skip) {
  if (size < skip || skip < 1) return std::nullopt;
  TGifDocument doc;
  if (!doc.ReadGifHeader(Bytes(data + skip, size - skip))) return std::nullopt;
  TRect canvas{0, 0, doc.ImageWidth, doc.ImageHeight};
  for (const TGifFrame& f : WalkGifFrames(doc.GifData).Frames)
    canvas = canvas.United(TRect::Sized(f.Left, f.Top, f.Width, f.Height));
  if (int64_t(canvas.Width()) * canvas.Height() > (1 << 16)) return std::nullopt;
  doc.TransparentOn = true;
  doc.TransparentIndex = uint8_t(data[0] % doc.ColorCount);
  return doc;
}
