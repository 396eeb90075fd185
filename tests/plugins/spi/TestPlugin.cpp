// A scriptable plug-in for the host's tests: its kind, name, filters and
// missing exports come from compile definitions, its pictures from the data.
#include <algorithm>
#include <cstring>

#include "plugins/SusiePlugin.h"
#include "spi/TestScript.h"

#ifdef TP_THREE_PATTERNS  // a list separator cannot pass through the build files
#define TP_FILTER0 "*.aaa;*.bbb;*.ccc"
#define TP_DESC0 "Three"
#endif
#ifndef TP_ID
#define TP_ID 0
#endif
#ifndef TP_API
#define TP_API "00IN"
#endif
#ifndef TP_NAME
#define TP_NAME "Test plug-in"
#endif

namespace {

TestCallLog Log;

[[maybe_unused]] int CopyText(const char* text, char* buf, int bufLen) {
  const int n = std::min(static_cast<int>(std::strlen(text)), bufLen - 1);
  std::memcpy(buf, text, static_cast<size_t>(n));
  buf[n] = '\0';
  return n > 0 ? n : 1;
}

bool ReadScript(const void* data, TestScript* script) {
  std::memcpy(script, data, sizeof *script);
  return std::memcmp(script->Magic, "TSPI", 4) == 0;
}

[[maybe_unused]] long long Abs(long long v) { return v < 0 ? -v : v; }

}  // namespace

extern "C" __attribute__((visibility("default"))) TestCallLog* TestLog() { return &Log; }

#ifndef TP_NO_GETPLUGININFO
SUSIE_EXPORT int GetPluginInfo(int infoNo, char* buf, int bufLen) {
#ifdef TP_ENDLESS_INFO  // a filter pair for every number asked
  if (infoNo >= 2) return CopyText(infoNo % 2 ? "Endless" : "*.end", buf, bufLen);
#endif
  switch (infoNo) {
    case 0: return CopyText(TP_API, buf, bufLen);
#ifdef TP_UNTERMINATED_NAME
    case 1: std::memset(buf, 'N', 256); return 256;
#elif defined(TP_OVERLONG_NAME)  // far past the length it was given
    case 1: std::memset(buf, 'L', 4000); buf[4000] = '\0'; return 4000;
#else
    case 1: return CopyText(TP_NAME, buf, bufLen);
#endif
#ifdef TP_FILTER0
    case 2: return CopyText(TP_FILTER0, buf, bufLen);
#ifndef TP_INFO2_ONLY
    case 3: return CopyText(TP_DESC0, buf, bufLen);
#endif
#endif
#ifdef TP_FILTER1
    case 4: return CopyText(TP_FILTER1, buf, bufLen);
    case 5: return CopyText(TP_DESC1, buf, bufLen);
#endif
    default: return 0;
  }
}
#endif

SUSIE_EXPORT int IsSupported(const char* fileName, const void* head) {
  ++Log.IsSupportedCalls;
  std::strncpy(Log.LastName, fileName ? fileName : "", sizeof Log.LastName - 1);
  const auto* bytes = static_cast<const unsigned char*>(head);
  Log.HeadZerosFrom = 2048;
  while (Log.HeadZerosFrom > 0 && bytes[Log.HeadZerosFrom - 1] == 0) --Log.HeadZerosFrom;
  TestScript script;
  return ReadScript(head, &script) && !(script.RefuseMask & (1u << TP_ID)) ? 1 : 0;
}

SUSIE_EXPORT int GetPictureInfo(const char* buf, intptr_t, unsigned, SusiePictureInfo* info) {
  TestScript script;
  if (!ReadScript(buf, &script)) return SUSIE_UNKNOWN_FORMAT;
  *info = SusiePictureInfo{};
  info->width = script.Width;
  info->height = script.Height;
  info->colorDepth = static_cast<int16_t>(script.BitCount);
  if (script.WithInfoText) {
    info->hInfo = LocalAlloc(LHND, 5);
    std::memcpy(LocalLock(info->hInfo), "info", 5);
  }
  return SUSIE_SUCCESS;
}

#ifndef TP_NO_GETPICTURE
SUSIE_EXPORT int GetPicture(const char* buf, intptr_t len, unsigned, SusieHandle* headerHandle,
                            SusieHandle* bitsHandle, SusieProgressCallback progress, intptr_t data) {
  Log.LastLength = len;
  TestScript script;
  if (!ReadScript(buf, &script)) return SUSIE_UNKNOWN_FORMAT;
  if (script.FailMask & (1u << TP_ID)) return SUSIE_BROKEN_DATA;

  Log.ProgressCalls = 0;
  auto report = [&](int done, int total) {
    const int answer = progress(done, total, data);
    if (Log.ProgressCalls < 8) Log.ProgressAnswers[Log.ProgressCalls] = answer;
    ++Log.ProgressCalls;
    return answer;
  };
  if (script.ProgressTotal == -1 && report(0, 0)) return SUSIE_CANCELLED;
  if (script.ProgressTotal > 0)
    for (int done : {0, script.ProgressTotal / 2, script.ProgressTotal})
      if (report(done, script.ProgressTotal)) return SUSIE_CANCELLED;

  // The promised sizes, capped: a lying script must not make the plug-in itself huge.
  const long long colours = script.ClrUsed ? script.ClrUsed : (script.BitCount <= 8 ? 1LL << script.BitCount : 0);
  const long long promisedHeader = 40 + 4 * std::min(colours, 1LL << 16);
  const long long promisedBits =
      std::min(((Abs(script.Width) * script.BitCount + 31) / 32) * 4 * Abs(script.Height), 1LL << 24);
  const size_t headerSize = size_t(script.HeaderAlloc < 0 ? promisedHeader : script.HeaderAlloc);
  size_t bitsSize = size_t(script.BitsAlloc < 0 ? promisedBits : script.BitsAlloc);
#ifdef TP_SHORT_BITS  // fewer pixel bytes than the header it hands back promises
  bitsSize /= 2;
#endif

  *headerHandle = LocalAlloc(LHND, headerSize);
  *bitsHandle = LocalAlloc(LHND, bitsSize);
  SusieBitmapInfoHeader h{};
  h.biSize = script.BiSize ? script.BiSize : 40;
  h.biWidth = script.Width;
  h.biHeight = script.Height;
  h.biPlanes = 1;
  h.biBitCount = script.BitCount;
  h.biCompression = script.Compression;
  h.biClrUsed = script.ClrUsed;
  auto* header = static_cast<unsigned char*>(LocalLock(*headerHandle));
  std::memcpy(header, &h, std::min(headerSize, sizeof h));
  for (size_t i = 0; 40 + 4 * i + 4 <= headerSize; ++i) {
    const uint32_t quad = TestTableEntry(TP_ID, int(i));
    std::memcpy(header + 40 + 4 * i, &quad, 4);
  }
  std::memset(LocalLock(*bitsHandle), script.Fill, bitsSize);
#ifdef TP_SAME_HANDLE  // one block handed back as header and pixels
  LocalFree(*bitsHandle);
  *bitsHandle = *headerHandle;
#endif
#ifdef TP_FREED_SUCCESS  // blocks freed, success answered all the same
  LocalFree(*headerHandle);
  LocalFree(*bitsHandle);
#endif
  return SUSIE_SUCCESS;
}
#endif

#ifdef TP_ARCHIVE
SUSIE_EXPORT int GetArchiveInfo(const char*, intptr_t, unsigned, SusieHandle*) { return SUSIE_NOT_IMPLEMENTED; }
SUSIE_EXPORT int GetFileInfo(const char*, intptr_t, const char*, unsigned, void*) { return SUSIE_NOT_IMPLEMENTED; }
SUSIE_EXPORT int GetFile(const char*, intptr_t, char*, unsigned, SusieProgressCallback, intptr_t) {
  return SUSIE_NOT_IMPLEMENTED;
}
#endif
