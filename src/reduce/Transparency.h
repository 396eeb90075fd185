#pragma once
// Pictures with see-through pixels (PNG): every pixel whose alpha is below
// 128 becomes one transparent palette entry, the rest are taken as opaque.
#include <QImage>
#include <QVector>

// An indexed picture ready for the GIF writer.
struct TIndexedPicture {
  QImage Image;               // Indexed8 or Mono; null when abandoned
  int TransparentIndex = -1;  // the colour-table entry drawn transparent, if any
};

bool IsTransparentPixel(QRgb argb);  // alpha below 128
bool HasTransparentPixels(const QImage& picture);
// Distinct colours of the opaque pixels, plus one for the transparent ones.
int GetColorCountWithTransparency(const QImage& picture);

// A picture of at most 256 entries (transparency included) indexed exactly.
TIndexedPicture IndexWithTransparency(const QImage& picture);
// A picture already reduced onto a fixed palette gains the transparent entry
// for the pixels of source that are transparent: appended when the table has
// room, otherwise in place of its least used entry, whose pixels go to their
// nearest other entry.
TIndexedPicture AddTransparentEntry(QImage reduced, const QImage& source);

// A colour no entry but except has, for the transparent entry, so that
// choosing a colour never lands on it by accident.
QRgb UnusedColor(const QVector<QRgb>& table, int except);
// The entry nearest to color by RGB distance, skipping one.
int NearestEntry(const QVector<QRgb>& table, QRgb color, int skip = -1);
