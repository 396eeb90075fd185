#include "reduce/GIFImage.h"

#include "document/FileOps.h"
#include "reduce/RgbRows.h"

uint8_t GIFLastError = 0;

const char* const GIFErrorMessages[GIFErrorCount] = {
    "None",
    "Operation Cancelled",
    "Internal Error",
    "Invalid File Format",
    "Image contains too many Colors (>256)",
    "Index out of Bounds",
    "Windows GDI Error",
    "File not Found",
    "Resource not Found",
};

TGIFProgressHandler GIFProgressHandler;

const QByteArray GIFCreditText = QByteArrayLiteral(
    "Made with Tomaru, the GIF transparency tool.\r\n"
    "Converted from a bitmap and LZW-coded here;\r\n"
    "no pixel was changed.\r\n"
    "Version 1.00");

namespace {

enum : uint8_t {
  kNone = 0,
  kInternalError = 2,
  kTooManyColors = 4,
  kOutOfBounds = 5,
  kGdiError = 6,
};

// Palette entry lookup by colour: a small open-addressing table over at most
// 256 colours, so each pixel costs one or two probes instead of a scan.
class TColorIndex {
 public:
  TColorIndex() { Keys.fill(0); }

  // The colour's entry, appending it when new; -1 at a 257th colour. Bit 24
  // set makes a key of its own for the same colour (the transparent entry).
  int Find(TGIFPalette& palette, uint32_t rgb) {
    const uint32_t key = rgb + 1;  // 0 marks an empty slot
    uint32_t slot = (rgb * 2654435761u) >> 22;
    while (Keys[slot] != 0) {
      if (Keys[slot] == key) return Entries[slot];
      slot = (slot + 1) & 1023;
    }
    if (palette.Count == 256) return -1;
    const int entry = palette.Count++;
    palette.Rgb[size_t(entry) * 3] = uint8_t(rgb >> 16);
    palette.Rgb[size_t(entry) * 3 + 1] = uint8_t(rgb >> 8);
    palette.Rgb[size_t(entry) * 3 + 2] = uint8_t(rgb);
    Keys[slot] = key;
    Entries[slot] = uint8_t(entry);
    return entry;
  }

 private:
  std::array<uint32_t, 1024> Keys;
  std::array<uint8_t, 1024> Entries{};
};

// Pixel indices of one row of a palette-based image.
void ReadIndexRow(const QImage& image, int y, uint8_t* out) {
  const uchar* line = image.constScanLine(y);
  const int w = image.width();
  switch (image.format()) {
    case QImage::Format_Indexed8:
      std::copy(line, line + w, out);
      break;
    case QImage::Format_Mono:
      for (int x = 0; x < w; ++x) out[x] = (line[x >> 3] >> (7 - (x & 7))) & 1;
      break;
    default:  // Format_MonoLSB
      for (int x = 0; x < w; ++x) out[x] = (line[x >> 3] >> (x & 7)) & 1;
      break;
  }
}

// Palette-based source: each source entry is resolved once, when a pixel
// first uses it, which keeps the order of first occurrence.
bool MapPaletteImage(const QImage& image, TGIFPalette& palette, uint8_t* indices, int transparentEntry) {
  const QVector<QRgb> table = image.colorTable();
  std::array<int, 256> entryFor;
  entryFor.fill(-1);
  TColorIndex lookup;
  const size_t w = size_t(image.width());
  for (int y = 0; y < image.height(); ++y) {
    uint8_t* row = indices + size_t(y) * w;
    ReadIndexRow(image, y, row);
    for (size_t x = 0; x < w; ++x) {
      int& entry = entryFor[row[x]];
      if (entry < 0) {
        // Indices beyond a short colour table read as black.
        const QRgb color = row[x] < table.size() ? table[row[x]] : 0;
        const bool transparent = row[x] == transparentEntry;
        entry = lookup.Find(palette, (color & 0xFFFFFFu) | (transparent ? 0x1000000u : 0));
        if (entry < 0) return false;
        if (transparent) palette.Transparent = entry;
      }
      row[x] = uint8_t(entry);
    }
  }
  return true;
}

bool MapRgbImage(const QImage& image, TGIFPalette& palette, uint8_t* indices) {
  TRgbRows rows(image);
  TColorIndex lookup;
  const size_t w = size_t(image.width());
  for (int y = 0; y < rows.Height(); ++y) {
    const QRgb* src = rows.Row(y);
    uint8_t* row = indices + size_t(y) * w;
    uint32_t last = 0xFFFFFFFFu;
    int lastEntry = 0;
    for (size_t x = 0; x < w; ++x) {
      const uint32_t color = src[x] & 0xFFFFFFu;
      if (color != last) {
        lastEntry = lookup.Find(palette, color);
        if (lastEntry < 0) return false;
        last = color;
      }
      row[x] = uint8_t(lastEntry);
    }
  }
  return true;
}

void Put16(QByteArray& out, int value) {
  out.append(char(value & 0xFF));
  out.append(char((value >> 8) & 0xFF));
}

// Comment extension: the text in sub-blocks of at most 255 bytes; none when empty.
void PutComment(QByteArray& out, const QByteArray& text) {
  if (text.isEmpty()) return;
  out.append('\x21');
  out.append('\xFE');
  for (qsizetype at = 0; at < text.size(); at += 255) {
    const qsizetype n = std::min<qsizetype>(255, text.size() - at);
    out.append(char(n));
    out.append(text.constData() + at, n);
  }
  out.append('\0');
}

}  // namespace

int BitsForColorCount(int n) {
  int bits = 1;
  while (bits < 8 && (1 << bits) < n) ++bits;
  return bits;
}

uint8_t MapPixelsToPalette(const QImage& bitmap, TGIFPalette& palette, std::vector<uint8_t>& indices,
                           int transparentEntry) {
  palette = TGIFPalette{};
  indices.assign(size_t(bitmap.width()) * size_t(bitmap.height()), 0);
  const bool ok = IsPaletteFormat(bitmap.format()) ? MapPaletteImage(bitmap, palette, indices.data(), transparentEntry)
                                                   : MapRgbImage(bitmap, palette, indices.data());
  return ok ? kNone : kTooManyColors;
}

void WriteGIFStream(QByteArray& out, int width, int height, const TGIFPalette& palette,
                    const uint8_t* indices, const TGIFProgressHandler& progress) {
  const int bits = BitsForColorCount(palette.Count);
  out.append("GIF89a", 6);
  Put16(out, width);
  Put16(out, height);
  out.append(char(0x80 + (bits - 1)));
  out.append('\0');  // background colour index
  out.append('\0');  // pixel aspect ratio
  out.append(reinterpret_cast<const char*>(palette.Rgb.data()), 3 * (1 << bits));
  // Graphic Control Extension, patched in place later: transparency only
  // for a picture that had see-through pixels.
  out.append("\x21\xF9\x04", 3);
  out.append(char(palette.Transparent >= 0 ? 1 : 0));
  out.append("\x00\x00", 2);
  out.append(char(palette.Transparent >= 0 ? palette.Transparent : 0));
  out.append('\0');
  out.append('\x2C');
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, width);
  Put16(out, height);
  out.append('\0');  // no local colour table, not interlaced
  LzwCompress(out, indices, size_t(width) * size_t(height), width, bits, progress);
  if (progress) progress(100);
  PutComment(out, GIFCreditText);
  out.append('\x3B');
}

bool SaveBitmapToGIF(const QString& fileName, const QImage& bitmap, int transparentEntry) {
  GIFLastError = kInternalError;
  if (bitmap.width() <= 0 || bitmap.height() <= 0) return false;
  // The screen and image sizes are 16-bit fields.
  if (bitmap.width() > 0xFFFF || bitmap.height() > 0xFFFF) {
    GIFLastError = kOutOfBounds;
    return false;
  }
  TGIFPalette palette;
  std::vector<uint8_t> indices;
  // Left standing should mapping run out of memory.
  GIFLastError = kGdiError;
  GIFLastError = MapPixelsToPalette(bitmap, palette, indices, transparentEntry);
  if (GIFLastError != kNone) return false;
  QByteArray stream;
  WriteGIFStream(stream, bitmap.width(), bitmap.height(), palette, indices.data(), GIFProgressHandler);
  std::vector<uint8_t>().swap(indices);  // the index buffer is no longer needed
  GIFLastError = kNone;
  SaveStringToFile(fileName, stream);
  return true;
}
