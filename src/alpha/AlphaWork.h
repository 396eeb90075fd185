#pragma once
// What the command line asks of the alpha writer. It lives in a module of its
// own (libtomaru-alpha.so), loaded only by the runs that write WebP or PNG,
// because it brings libwebp and Qt Gui with it; a run that writes GIFs starts
// without them. Nothing thrown crosses the module's edge: answers carry their
// messages.
#include <QString>
#include <memory>
#include <optional>

#include "alpha/SaveWithAlpha.h"
#include "document/Reach.h"
#include "frames/Canvas.h"

class TAlphaWork {
 public:
  virtual ~TAlphaWork() = default;
  // EncodeChoiceWithAlpha: doc's choice, finished, ready to write its bytes.
  virtual std::unique_ptr<TAlphaWriter> EncodeChoice(const TGifDocument& doc, bool allFrames, TAlphaFormat format,
                                                     const QString& target, TAlphaOutcome& outcome,
                                                     const TPlanProgress& progress) = 0;
  // A still picture at full colour (not reduced to a GIF's table), the
  // pixels of chosen taken as reach says (none: the picture as it is).
  virtual std::unique_ptr<TAlphaWriter> EncodePicture(const TCanvas& picture, std::optional<TPixel> chosen,
                                                      const TReach& reach, TAlphaFormat format,
                                                      const QString& target, TAlphaOutcome& outcome) = 0;
};

// The module's one export: a new worker, for the caller to delete.
#define TOMARU_ALPHA_WORK_ENTRY "TomaruNewAlphaWork"
extern "C" TAlphaWork* TomaruNewAlphaWork();
