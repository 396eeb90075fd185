#pragma once
// The one open GIF: its bytes, the fields read from its header, and the user's
// transparency choice. The image is never re-encoded; saving and previewing
// only rewrite the two bytes of the Graphic Control Extension.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// 0x00BBGGRR, as everywhere in the program.
using TColor = uint32_t;

inline TColor RGBColor(int r, int g, int b) { return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16); }
inline int RedOf(TColor c) { return c & 0xFF; }
inline int GreenOf(TColor c) { return (c >> 8) & 0xFF; }
inline int BlueOf(TColor c) { return (c >> 16) & 0xFF; }

int Powered(int base, int exponent);

// What the header reader finds in a file; nothing of a document changes until
// a file has been read completely.
struct TGifHeader {
  QByteArray Data;  // the file, with a Graphic Control Extension inserted when it had none
  int ImageWidth = 0;
  int ImageHeight = 0;
  int ColorCount = 0;
  std::array<TColor, 256> Palette{};
  uint8_t GceFlags = 0;
  int GceFlagsOffset = 0;
  int TransparentIndexOffset = 0;
  uint8_t LoadedTransIndex = 0;
  bool InsertedGce = false;
};

// Walks the block structure up to the first image descriptor. Empty when the
// bytes are not a GIF that can be patched: wrong signature, truncated before
// the first image, or no colour table at all.
std::optional<TGifHeader> ParseGifHeader(const QByteArray& file);

class TGifDocument {
 public:
  QByteArray GifData;
  int ImageHeight = 0;
  int ImageWidth = 0;
  int ColorCount = 0;
  std::array<TColor, 256> PaletteColors{};
  bool LoadedTransparent = false;
  uint8_t LoadedTransIndex = 0;
  bool TransparentOn = false;
  uint8_t TransparentIndex = 0;
  uint8_t GceFlags = 0;
  int GceFlagsOffset = 0;
  int TransparentIndexOffset = 0;
  QString OpenedFileName;

  // Replaces every field from the file's bytes; false (and nothing changed)
  // when the bytes cannot be read as a GIF.
  bool ReadGifHeader(const QByteArray& file);
  void Assign(const TGifHeader& header);

  // Writes the transparency choice into bytes laid out like GifData.
  void PatchTransparency(QByteArray& bytes) const;
};
