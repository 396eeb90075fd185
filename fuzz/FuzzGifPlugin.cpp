// The shipped GIF plug-in as the host calls it: IsSupported on a padded 2 KB
// head, GetPictureInfo, then GetPicture with a progress callback that may ask
// it to stop. What it returns must be a bitmap the host accepts and converts.
#include <QImage>
#include <vector>

#include "FuzzViews.h"
#include "plugins/DibConvert.h"

namespace {

// Larger pictures are still checked by GetPictureInfo, but not decoded: a
// 64-megapixel canvas per run would leave no time for anything else.
constexpr int64_t kMaxDecodedPixels = 1 << 22;

struct TProgress {
  int StopAt;  // the call to answer "stop" to, or -1
  int Calls = 0;
  int LastDone = 0;
};

int OnProgress(int done, int total, intptr_t data) {
  auto* p = reinterpret_cast<TProgress*>(data);
  FUZZ_CHECK(done > 0 && done <= total);
  p->LastDone = done;
  return p->Calls++ == p->StopAt ? 1 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The host hands plug-ins at least 2 KB, zero-padded, with the true length.
  std::vector<char> head(std::max<size_t>(size, 2048), '\0');
  std::copy(data, data + size, head.begin());
  // An exact-size copy, so a read past the true length is caught.
  std::vector<char> exact(data, data + size);
  const char* buf = size ? exact.data() : head.data();

  const int supported = IsSupported("in.gif", head.data());
  FUZZ_CHECK(supported == 0 || supported == 1);

  SusiePictureInfo info{};
  const int infoResult = GetPictureInfo(buf, intptr_t(size), SUSIE_INPUT_MEMORY, &info);
  if (infoResult != 0) return 0;
  FUZZ_CHECK(info.width >= 0 && info.height >= 0 && info.hInfo == 0);
  if (int64_t(info.width) * info.height > kMaxDecodedPixels) return 0;

  TProgress progress{size && (data[size - 1] & 1) ? int(data[size - 1] >> 1) : -1};
  SusieHandle header = 0, bits = 0;
  const int result = GetPicture(buf, intptr_t(size), SUSIE_INPUT_MEMORY, &header, &bits, &OnProgress,
                                reinterpret_cast<intptr_t>(&progress));
  if (result != 0) {
    FUZZ_CHECK(header == 0 && bits == 0);
    return 0;
  }
  // Its own output is a picture the host takes, of the size it announced.
  // A frame placed far outside its screen can make a canvas taller or wider
  // than the host accepts; the host then says it cannot read the picture.
  const auto* h = static_cast<const uint8_t*>(LocalLock(header));
  const auto* b = static_cast<const uint8_t*>(LocalLock(bits));
  const auto layout = CheckDib(h, LocalSize(header), LocalSize(bits));
  if (info.width > kMaxDibSide || info.height > kMaxDibSide) {
    FUZZ_CHECK(!layout);
    LocalFree(header);
    LocalFree(bits);
    return 0;
  }
  FUZZ_CHECK(layout.has_value());
  SusieBitmapInfoHeader bih;
  std::memcpy(&bih, h, sizeof bih);
  FUZZ_CHECK(bih.biWidth == info.width && bih.biHeight == info.height);
  QImage image;
  FUZZ_CHECK(image.loadFromData(DibToBmpFile(h, b, *layout), "BMP"));
  FUZZ_CHECK(image.width() == info.width && image.height() == info.height);
  LocalUnlock(header);
  LocalUnlock(bits);
  FUZZ_CHECK(LocalFree(header) == 0 && LocalFree(bits) == 0);
  return 0;
}
