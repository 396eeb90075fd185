#pragma once
// A choice saved with 8-bit alpha: its frames composed (frames/AlphaFrames)
// and handed to the writer, one at a time, so that memory holds a frame or
// two whatever the animation's length.
#include <QString>
#include <memory>

#include "alpha/AlphaWriter.h"
#include "document/GifDocument.h"
#include "frames/SavePlan.h"

struct TAlphaOutcome {
  QString Error;  // the whole message, the target named; empty on success
  int UndecodedFrom = -1;
  bool Stopped = false;
  qint64 Bytes = 0;
};

// The finished writer of doc's choice as format, ready to write its bytes;
// none with outcome's Error set (or Stopped) when it cannot be made. A frame
// that cannot be decoded refuses the whole file: a WebP cut short at it
// would play as a different animation.
std::unique_ptr<TAlphaWriter> EncodeChoiceWithAlpha(const TGifDocument& doc, bool allFrames, TAlphaFormat format,
                                                    const QString& target, TAlphaOutcome& outcome,
                                                    const TPlanProgress& progress = {});

// Saves doc's choice as format into target (temporary file beside it, then renamed), nothing written on failure.
TAlphaOutcome SaveChoiceWithAlpha(const TGifDocument& doc, bool allFrames, TAlphaFormat format,
                                  const QString& target, const TPlanProgress& progress = {});
