// The GIF picture plug-in that ships with Tomaru: decodes the first frame of a
// GIF with giflib into an 8-bit bottom-up device-independent bitmap with a
// 256-entry colour table. The input is untrusted: every read is bounded by the
// length the host gives, and every write by the blocks allocated here.
#include <gif_lib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "plugins/SusiePlugin.h"

namespace {

#define TOMARU_STR2(x) #x
#define TOMARU_STR(x) TOMARU_STR2(x)
const char kPluginName[] = "Tomaru GIF decoder (giflib " TOMARU_STR(GIFLIB_MAJOR) "." TOMARU_STR(
    GIFLIB_MINOR) "." TOMARU_STR(GIFLIB_RELEASE) ")";


// The host's bound: no side past 65535 and no more pixels than 16384 x 16384.
// A picture beyond it is refused rather than allocated.
bool PictureTooLarge(long long width, long long height) {
  return width > 65535 || height > 65535 || width * height > (1LL << 28);
}

struct MemoryInput {
  const GifByteType* Data;
  size_t Size;
  size_t Pos;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int wanted) {
  auto* in = static_cast<MemoryInput*>(gif->UserData);
  if (wanted <= 0) return 0;
  const size_t n = std::min(static_cast<size_t>(wanted), in->Size - in->Pos);
  std::memcpy(out, in->Data + in->Pos, n);
  in->Pos += n;
  return static_cast<int>(n);
}

bool HasGifSignature(const void* head) {
  return std::memcmp(head, "GIF87a", 6) == 0 || std::memcmp(head, "GIF89a", 6) == 0;
}

int CopyText(const char* text, char* buf, int bufLen) {
  if (!buf || bufLen <= 0) return 0;
  const int n = std::min(static_cast<int>(std::strlen(text)), bufLen - 1);
  std::memcpy(buf, text, static_cast<size_t>(n));
  buf[n] = '\0';
  return n;
}

// An open decoder positioned on the first frame's pixel data.
class FirstFrame {
 public:
  FirstFrame(const char* buf, intptr_t len) {
    if (!buf || len < 6) return;
    Input = {reinterpret_cast<const GifByteType*>(buf), static_cast<size_t>(len), 0};
    int error = 0;
    Gif = DGifOpen(&Input, &ReadMemory, &error);
    if (Gif) Found = SeekFirstImage();
  }
  ~FirstFrame() {
    int error = 0;
    if (Gif) DGifCloseFile(Gif, &error);
  }
  FirstFrame(const FirstFrame&) = delete;
  FirstFrame& operator=(const FirstFrame&) = delete;

  bool Found = false;
  GifFileType* Gif = nullptr;

  // The frame placed on its logical screen, grown when the frame sticks out.
  // A screen too large to show (files claim up to 65535 x 65535 around a
  // small frame) gives way to the frame alone, so the picture is still seen.
  bool OnScreen() const {
    return !PictureTooLarge(std::max(Gif->SWidth, Gif->Image.Left + Gif->Image.Width),
                            std::max(Gif->SHeight, Gif->Image.Top + Gif->Image.Height));
  }
  int Width() const { return OnScreen() ? std::max(Gif->SWidth, Gif->Image.Left + Gif->Image.Width) : Gif->Image.Width; }
  int Height() const {
    return OnScreen() ? std::max(Gif->SHeight, Gif->Image.Top + Gif->Image.Height) : Gif->Image.Height;
  }
  int Left() const { return OnScreen() ? Gif->Image.Left : 0; }
  int Top() const { return OnScreen() ? Gif->Image.Top : 0; }

 private:
  bool SeekFirstImage() {
    for (;;) {
      GifRecordType type;
      if (DGifGetRecordType(Gif, &type) == GIF_ERROR) return false;
      if (type == IMAGE_DESC_RECORD_TYPE) return DGifGetImageDesc(Gif) != GIF_ERROR;
      if (type != EXTENSION_RECORD_TYPE) return false;
      int code = 0;
      GifByteType* block = nullptr;
      if (DGifGetExtension(Gif, &code, &block) == GIF_ERROR) return false;
      while (block)
        if (DGifGetExtensionNext(Gif, &block) == GIF_ERROR) return false;
    }
  }
  MemoryInput Input{};
};

void FillHeader(const FirstFrame& frame, int stride, SusieBitmapInfoHeader* h, uint8_t* table) {
  h->biSize = sizeof(SusieBitmapInfoHeader);
  h->biWidth = frame.Width();
  h->biHeight = frame.Height();  // bottom-up
  h->biPlanes = 1;
  h->biBitCount = 8;
  h->biCompression = 0;
  h->biSizeImage = static_cast<uint32_t>(stride) * static_cast<uint32_t>(frame.Height());
  h->biClrUsed = 256;
  const ColorMapObject* map = frame.Gif->Image.ColorMap ? frame.Gif->Image.ColorMap : frame.Gif->SColorMap;
  for (int i = 0; i < 256; ++i) {
    uint8_t* quad = table + 4 * i;
    if (map && i < map->ColorCount) {
      quad[0] = map->Colors[i].Blue;
      quad[1] = map->Colors[i].Green;
      quad[2] = map->Colors[i].Red;
    } else if (!map) {
      quad[0] = quad[1] = quad[2] = static_cast<uint8_t>(i);  // no table at all: a grey ramp
    }
  }
}

// Decodes the frame's rows into the bottom-up rows of the canvas; answers
// the number of rows decoded, or -1 when the host asked to stop.
int DecodeRows(FirstFrame& frame, uint8_t* bits, int stride, SusieProgressCallback progress, intptr_t data) {
  const GifImageDesc& d = frame.Gif->Image;
  const int height = frame.Height();
  std::vector<GifPixelType> line(static_cast<size_t>(d.Width));
  static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
  const int passes = d.Interlace ? 4 : 1;
  int decoded = 0;
  const int every = std::max(1, d.Height / 32);
  for (int pass = 0; pass < passes; ++pass) {
    const int start = d.Interlace ? kStart[pass] : 0, step = d.Interlace ? kStep[pass] : 1;
    for (int y = start; y < d.Height; y += step) {
      if (DGifGetLine(frame.Gif, line.data(), d.Width) == GIF_ERROR) return decoded;
      uint8_t* row = bits + static_cast<size_t>(height - 1 - (frame.Top() + y)) * static_cast<size_t>(stride);
      std::memcpy(row + frame.Left(), line.data(), line.size());
      ++decoded;
      const bool report = decoded % every == 0 || decoded == d.Height;
      if (progress && report && progress(decoded, d.Height, data) != 0) return -1;
    }
  }
  return decoded;
}

}  // namespace

SUSIE_EXPORT int GetPluginInfo(int infoNo, char* buf, int bufLen) {
  switch (infoNo) {
    case 0: return CopyText("00IN", buf, bufLen);
    case 1: return CopyText(kPluginName, buf, bufLen);
    case 2: return CopyText("*.gif", buf, bufLen);
    case 3: return CopyText("GIF画像", buf, bufLen);
    default: return 0;
  }
}

SUSIE_EXPORT int IsSupported(const char*, const void* head) { return head && HasGifSignature(head) ? 1 : 0; }

SUSIE_EXPORT int GetPictureInfo(const char* buf, intptr_t len, unsigned flag, SusiePictureInfo* info) {
  if ((flag & 7) != SUSIE_INPUT_MEMORY) return SUSIE_NOT_IMPLEMENTED;
  if (!info) return SUSIE_INTERNAL_ERROR;
  FirstFrame frame(buf, len);
  if (!frame.Found) return SUSIE_UNKNOWN_FORMAT;
  *info = SusiePictureInfo{};
  info->width = frame.Width();
  info->height = frame.Height();
  info->colorDepth = 8;
  return SUSIE_SUCCESS;
}

SUSIE_EXPORT int GetPicture(const char* buf, intptr_t len, unsigned flag, SusieHandle* headerHandle,
                            SusieHandle* bitsHandle, SusieProgressCallback progress, intptr_t data) {
  if ((flag & 7) != SUSIE_INPUT_MEMORY) return SUSIE_NOT_IMPLEMENTED;
  if (!headerHandle || !bitsHandle) return SUSIE_INTERNAL_ERROR;
  FirstFrame frame(buf, len);
  if (!frame.Found) return SUSIE_UNKNOWN_FORMAT;
  const int width = frame.Width(), height = frame.Height();
  if (width <= 0 || height <= 0) return SUSIE_BROKEN_DATA;
  if (PictureTooLarge(width, height)) return SUSIE_NO_MEMORY;

  const int stride = (width + 3) & ~3;
  SusieHandle header = LocalAlloc(LHND, sizeof(SusieBitmapInfoHeader) + 4 * 256);
  SusieHandle bits = LocalAlloc(LMEM_MOVEABLE, static_cast<size_t>(stride) * static_cast<size_t>(height));
  if (!header || !bits) {
    LocalFree(header);
    LocalFree(bits);
    return SUSIE_NO_MEMORY;
  }
  auto* h = static_cast<SusieBitmapInfoHeader*>(LocalLock(header));
  FillHeader(frame, stride, h, reinterpret_cast<uint8_t*>(h + 1));
  auto* pixels = static_cast<uint8_t*>(LocalLock(bits));
  // What the frame does not cover shows the screen's background colour.
  std::memset(pixels, frame.Gif->SBackGroundColor, static_cast<size_t>(stride) * static_cast<size_t>(height));
  const int decoded = frame.Gif->Image.Height > 0 && frame.Gif->Image.Width > 0
                          ? DecodeRows(frame, pixels, stride, progress, data)
                          : 0;
  LocalUnlock(header);
  LocalUnlock(bits);
  // A frame cut short shows what was decoded; one without a single row is
  // broken. A frame of no area shows the bare screen.
  if (decoded <= 0 && frame.Gif->Image.Height > 0 && frame.Gif->Image.Width > 0) {
    LocalFree(header);
    LocalFree(bits);
    return decoded < 0 ? SUSIE_CANCELLED : SUSIE_BROKEN_DATA;
  }
  *headerHandle = header;
  *bitsHandle = bits;
  return SUSIE_SUCCESS;
}
