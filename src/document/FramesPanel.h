#pragma once
// The texts of the frames panel of the status bar.
#include <QString>

#include "document/FramePatch.h"

// After a save or preview: how many frames are transparent, how many were
// written anew, and whether the walk stopped at a damaged block. Empty for an
// intact single picture.
QString FramesPanelText(const TFramePatchResult& frames);

// Of an opened file: its frame count, and whether it is damaged.
QString FramesCountText(const TFramePatchResult& frames);
