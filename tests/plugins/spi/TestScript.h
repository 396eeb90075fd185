#pragma once
// What the test plug-ins read from the data they are given, and what they
// remember about the calls they got. Shared by the plug-ins and the tests.
#include <cstdint>

#pragma pack(push, 1)
struct TestScript {
  char Magic[4];         // "TSPI"
  uint32_t RefuseMask;   // plug-in ids that answer 0 in IsSupported
  uint32_t FailMask;     // plug-in ids whose GetPicture fails
  int32_t Width;
  int32_t Height;
  uint16_t BitCount;
  uint16_t Compression;
  uint32_t BiSize;       // 0: 40
  uint32_t ClrUsed;
  int32_t HeaderAlloc;   // bytes of the header block; -1: what the header promises
  int32_t BitsAlloc;     // bytes of the pixel block; -1: what the header promises
  int32_t ProgressTotal; // 0: no progress calls; -1: one call with a total of 0
  uint8_t Fill;          // every pixel byte
  uint8_t WithInfoText;  // GetPictureInfo hands back a text
};
#pragma pack(pop)

struct TestCallLog {
  char LastName[256];     // name given to IsSupported
  int IsSupportedCalls;
  int HeadZerosFrom;      // from this offset on, the 2048-byte head is all zeros
  long long LastLength;   // length given to GetPicture
  int ProgressAnswers[8];
  int ProgressCalls;
};

// Exported by every test plug-in besides the plug-in interface.
extern "C" {
using TestGetLog = TestCallLog* (*)();
}

// Colour table entry i of plug-in id: blue i, green 40 * id, red 255 - i.
inline uint32_t TestTableEntry(int id, int i) {
  return uint32_t(i & 255) | (uint32_t(40 * id & 255) << 8) | (uint32_t((255 - i) & 255) << 16);
}
