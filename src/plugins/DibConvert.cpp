#include "plugins/DibConvert.h"

#include <QtEndian>
#include <cstring>

#include "plugins/SusiePlugin.h"

std::optional<TDibLayout> CheckDib(const uint8_t* header, size_t headerSize, size_t bitsSize) {
  if (!header || headerSize < sizeof(SusieBitmapInfoHeader)) return std::nullopt;
  SusieBitmapInfoHeader h;
  std::memcpy(&h, header, sizeof h);
  const uint32_t biSize = qFromLittleEndian(h.biSize);
  const int64_t width = qFromLittleEndian(h.biWidth);
  // A negative height is a top-down picture; its size is the magnitude.
  const int64_t height = std::abs(int64_t(qFromLittleEndian(h.biHeight)));
  const int bitCount = qFromLittleEndian(h.biBitCount);
  const uint32_t clrUsed = qFromLittleEndian(h.biClrUsed);
  if (biSize != 40 || qFromLittleEndian(h.biCompression) != 0) return std::nullopt;
  if (width <= 0 || height <= 0 || width > kMaxDibSide || height > kMaxDibSide) return std::nullopt;
  if (width * height > kMaxDibPixels) return std::nullopt;

  int tableMax;
  switch (bitCount) {
    case 1: tableMax = 2; break;
    case 4: tableMax = 16; break;
    case 8: tableMax = 256; break;
    case 16: case 24: case 32: tableMax = 256; break;
    default: return std::nullopt;
  }
  if (clrUsed > uint32_t(tableMax)) return std::nullopt;
  TDibLayout layout;
  layout.Colours = clrUsed ? int(clrUsed) : (bitCount <= 8 ? tableMax : 0);
  layout.ImageSize = ((width * bitCount + 31) / 32) * 4 * height;
  if (headerSize < 40 + 4 * size_t(layout.Colours)) return std::nullopt;
  if (uint64_t(layout.ImageSize) > bitsSize) return std::nullopt;
  return layout;
}

std::optional<std::pair<int64_t, int64_t>> OversizedDib(const uint8_t* header, size_t headerSize) {
  if (!header || headerSize < sizeof(SusieBitmapInfoHeader)) return std::nullopt;
  SusieBitmapInfoHeader h;
  std::memcpy(&h, header, sizeof h);
  const int64_t width = qFromLittleEndian(h.biWidth);
  const int64_t height = std::abs(int64_t(qFromLittleEndian(h.biHeight)));
  if (qFromLittleEndian(h.biSize) != 40 || width <= 0 || height <= 0) return std::nullopt;
  if (!PictureTooLarge(width, height)) return std::nullopt;
  return std::make_pair(width, height);
}

QByteArray DibToBmpFile(const uint8_t* header, const uint8_t* bits, const TDibLayout& layout) {
  const int64_t tableBytes = 4 * int64_t(layout.Colours);
  const int64_t fileSize = 54 + tableBytes + layout.ImageSize;
  QByteArray file(14, '\0');
  file[0] = 'B';
  file[1] = 'M';
  qToLittleEndian<uint32_t>(uint32_t(fileSize), file.data() + 2);
  qToLittleEndian<uint32_t>(uint32_t(54 + tableBytes), file.data() + 10);
  file.reserve(fileSize);
  file.append(reinterpret_cast<const char*>(header), 40 + tableBytes);
  file.append(reinterpret_cast<const char*>(bits), layout.ImageSize);
  return file;
}
