#pragma once
// The picture plug-in interface as built on 64-bit Linux: a plug-in is an ELF
// shared object named *.spi exporting up to nine functions with C linkage.
// Host, shipped plug-ins and test plug-ins all compile against this header, so
// the record layout and the local-memory blocks are the same on both sides.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

// A local-memory handle, as handed over between plug-in and host.
using SusieHandle = intptr_t;

// Called by a plug-in while it decodes: (done, total, value handed to it).
// Answer 0 to go on, non-zero to ask the plug-in to stop.
using SusieProgressCallback = int (*)(int done, int total, intptr_t data);

#pragma pack(push, 1)
// What GetPictureInfo fills: the classic fields in their order, no gaps.
struct SusiePictureInfo {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  uint16_t x_density;
  uint16_t y_density;
  int16_t colorDepth;
  SusieHandle hInfo;  // local-memory text, or 0
};

// The 40-byte header of a device-independent bitmap, as returned by GetPicture.
struct SusieBitmapInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
#pragma pack(pop)
static_assert(sizeof(SusiePictureInfo) == 22 + sizeof(SusieHandle), "packed picture-info record");
static_assert(sizeof(SusieBitmapInfoHeader) == 40, "bitmap-info header");

// Result codes of the decoding exports.
enum : int {
  SUSIE_SUCCESS = 0,
  SUSIE_NOT_IMPLEMENTED = -1,
  SUSIE_CANCELLED = 1,
  SUSIE_UNKNOWN_FORMAT = 2,
  SUSIE_BROKEN_DATA = 3,
  SUSIE_NO_MEMORY = 4,
  SUSIE_MEMORY_ERROR = 5,
  SUSIE_READ_ERROR = 6,
  SUSIE_INTERNAL_ERROR = 8,
};

// Input flag: the data argument points at the bytes in memory.
enum : unsigned { SUSIE_INPUT_MEMORY = 1 };

// The nine exports, in the order the host looks them up.
extern "C" {
using SusieGetPluginInfo = int (*)(int infoNo, char* buf, int bufLen);
using SusieConfigurationDlg = int (*)(intptr_t parent, int function);
using SusieIsSupported = int (*)(const char* fileName, const void* head);
using SusieGetPictureInfo = int (*)(const char* buf, intptr_t len, unsigned flag, SusiePictureInfo* info);
using SusieGetPicture = int (*)(const char* buf, intptr_t len, unsigned flag, SusieHandle* headerHandle,
                                SusieHandle* bitsHandle, SusieProgressCallback progress, intptr_t data);
using SusieGetPreview = SusieGetPicture;
using SusieGetArchiveInfo = int (*)(const char* buf, intptr_t len, unsigned flag, SusieHandle* info);
using SusieGetFileInfo = int (*)(const char* buf, intptr_t len, const char* fileName, unsigned flag, void* info);
using SusieGetFile = int (*)(const char* src, intptr_t len, char* dest, unsigned flag, SusieProgressCallback progress,
                             intptr_t data);
}

// How a plug-in marks its exports.
#define SUSIE_EXPORT extern "C" __attribute__((visibility("default")))

// Local memory. A handle is the address of a block that starts with the size
// the caller asked for and a tag; the caller's bytes follow the 16-byte head.
// Static, so each plug-in carries its own copy and exports none of it; both
// sides use the same C allocator, so either side may free a block.
enum : unsigned { LMEM_FIXED = 0x0, LMEM_MOVEABLE = 0x2, LMEM_ZEROINIT = 0x40, LHND = 0x42 };

// The table of live blocks, kept by the host as the system keeps its local
// memory. Blocks of every plug-in the host loads are entered there, so a
// handle that was freed, or never made, is known without reading its memory.
// A program that keeps no table (a plug-in run on its own) relies on the tag.
enum : int { SUSIE_TABLE_ENTER, SUSIE_TABLE_REMOVE, SUSIE_TABLE_HOLDS };
extern "C" __attribute__((weak, visibility("default"))) int SusieLocalTable(int op, SusieHandle h);

namespace susie_detail {
constexpr uint64_t kBlockTag = 0x53555349454D454DULL;  // marks a live block
struct BlockHead {
  uint64_t size;
  uint64_t tag;
};
static_assert(sizeof(BlockHead) == 16, "block head keeps the data 16-byte aligned");
inline BlockHead* Head(SusieHandle h) {
  if (SusieLocalTable && !SusieLocalTable(SUSIE_TABLE_HOLDS, h)) return nullptr;
  auto* head = reinterpret_cast<BlockHead*>(h);
  return head && head->tag == kBlockTag ? head : nullptr;
}
}  // namespace susie_detail

static inline SusieHandle LocalAlloc(unsigned flags, size_t bytes) {
  using namespace susie_detail;
  if (bytes > SIZE_MAX - sizeof(BlockHead)) return 0;
  void* p = (flags & LMEM_ZEROINIT) ? std::calloc(1, sizeof(BlockHead) + bytes) : std::malloc(sizeof(BlockHead) + bytes);
  if (!p) return 0;
  auto* head = static_cast<BlockHead*>(p);
  head->size = bytes;
  head->tag = kBlockTag;
  if (SusieLocalTable) SusieLocalTable(SUSIE_TABLE_ENTER, reinterpret_cast<SusieHandle>(p));
  return reinterpret_cast<SusieHandle>(p);
}

// The block's usable size; 0 for a handle that is not a live block.
static inline size_t LocalSize(SusieHandle h) {
  auto* head = susie_detail::Head(h);
  return head ? static_cast<size_t>(head->size) : 0;
}

static inline void* LocalLock(SusieHandle h) {
  auto* head = susie_detail::Head(h);
  return head ? static_cast<void*>(head + 1) : nullptr;
}

static inline int LocalUnlock(SusieHandle) { return 0; }

// Answers 0 when freed, the handle itself when it was not a live block.
static inline SusieHandle LocalFree(SusieHandle h) {
  auto* head = susie_detail::Head(h);
  if (!head) return h;
  if (SusieLocalTable) SusieLocalTable(SUSIE_TABLE_REMOVE, h);
  head->tag = 0;
  std::free(head);
  return 0;
}
