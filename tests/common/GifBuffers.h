#pragma once
// giflib reading from and writing to byte arrays, for the test GIF makers.
#include <gif_lib.h>

#include <QByteArray>
#include <algorithm>
#include <cstring>

// Output function for EGifOpen with the QByteArray as user data.
inline int WriteGifToBuffer(GifFileType* gif, const GifByteType* data, int len) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), len);
  return len;
}

struct TGifBufferReader {
  const QByteArray* Data;
  int Pos = 0;
};

// Input function for DGifOpen with a TGifBufferReader as user data.
inline int ReadGifFromBuffer(GifFileType* gif, GifByteType* out, int len) {
  auto* r = static_cast<TGifBufferReader*>(gif->UserData);
  const int n = std::min(len, int(r->Data->size()) - r->Pos);
  if (n <= 0) return 0;
  std::memcpy(out, r->Data->constData() + r->Pos, size_t(n));
  r->Pos += n;
  return n;
}
