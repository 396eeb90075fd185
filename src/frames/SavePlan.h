#pragma once
// The save of a choice, judged frame by frame: the patch of control bytes
// first, then every frame composed as a browser does and compared with the
// picture as chosen (the opened picture, first frame's transparency set
// aside, with every pixel showing the chosen colour transparent). Frames the
// patch makes right keep their image data; the others are written anew with
// the same colours, or widen the disposal of the frame before them.
#include <functional>
#include <optional>

#include "document/FramePatch.h"
#include "document/GifDocument.h"

struct TSavePlan {
  TGifEdits Edits;
  TFramePatchResult Frames;
  // Planned with TCodeWalk::Caller: the frames whose codes the caller is to
  // walk (FirstUndecodableFrame) for Frames.UndecodedFrom. The edits do not
  // depend on it: the patch alone makes every frame right.
  std::optional<TFrameWalk> Unwalked;
};

enum class TFrameRewrite { Allowed, Never };

// Who walks the codes of a file the patch alone makes right, to name damage:
// the plan, or its caller, beside writing the file.
enum class TCodeWalk { InPlan, Caller };

// The first frame whose image data the decoder refuses, or -1: a walk of
// every frame's codes, spread over two threads for a large file.
int FirstUndecodableFrame(const QByteArray& source, const TFrameWalk& walk);

// The edits that save doc's choice. With allFrames off, or transparency off,
// only the first frame's control block changes. With rewriting Never, only
// control bytes change and the frames left not right are counted.
// progress, if given, is told (frames judged, frame count) after each judged
// frame, and asked again with the same figures now and then within a long
// one; answering false stops the plan early, unfinished, even inside a
// frame: the caller then discards it.
using TPlanProgress = std::function<bool(int done, int count)>;
TSavePlan PlanSave(const TGifDocument& doc, bool allFrames, TFrameRewrite rewrite = TFrameRewrite::Allowed,
                   const TPlanProgress& progress = {}, TCodeWalk codeWalk = TCodeWalk::InPlan);
