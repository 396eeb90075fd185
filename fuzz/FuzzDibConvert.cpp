// The conversion of plug-in output to the bitmap: a header block (bitmap-info
// header and colour table) and a pixel block of any sizes and contents, as an
// outside plug-in might return them. The first two bytes split the input.
#include <vector>

#include "FuzzSupport.h"
#include "plugins/DibConvert.h"
#include "plugins/PictureFormats.h"
#include "plugins/SPIBmp.h"
#include "plugins/SusiePlugin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t rest = size - 2;
  const size_t headerSize = std::min(rest, size_t(data[0] | data[1] << 8));
  // Exact-size blocks, so reading a byte past either is caught.
  const std::vector<uint8_t> header(data + 2, data + 2 + headerSize);
  const std::vector<uint8_t> bits(data + 2 + headerSize, data + size);
  const uint8_t* headerPtr = header.empty() ? nullptr : header.data();
  const uint8_t* bitsPtr = bits.empty() ? nullptr : bits.data();

  const auto layout = CheckDib(headerPtr, header.size(), bits.size());
  TSPIBitmap bitmap;
  bool done = false;
  // A picture too large to show is refused by name, and only such a one.
  try {
    bitmap.DIB(headerPtr, header.size(), bitsPtr, bits.size(), done);
  } catch (const EPictureTooLarge&) {
    FUZZ_CHECK(OversizedDib(headerPtr, header.size()).has_value());
    return 0;
  }
  if (!layout) {
    FUZZ_CHECK(!done && bitmap.Image().isNull());
    return 0;
  }
  FUZZ_CHECK(layout->Colours >= 0 && layout->Colours <= 256);
  FUZZ_CHECK(40 + 4 * size_t(layout->Colours) <= header.size());
  FUZZ_CHECK(layout->ImageSize >= 0 && size_t(layout->ImageSize) <= bits.size());
  const QByteArray file = DibToBmpFile(headerPtr, bitsPtr, *layout);
  FUZZ_CHECK(file.size() == 54 + 4 * layout->Colours + layout->ImageSize);
  if (done) {
    SusieBitmapInfoHeader h;
    std::memcpy(&h, headerPtr, sizeof h);
    FUZZ_CHECK(bitmap.Image().width() == h.biWidth);
    FUZZ_CHECK(bitmap.Image().height() == std::abs(int64_t(h.biHeight)));
  }
  return 0;
}
