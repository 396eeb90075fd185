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

// While a save is planned: frames judged of the frame count.
QString JudgingText(int done, int count);

// The size panel: the opened file's size in bytes; when frames are written
// anew (saved >= 0), it and the size the save will have, both in KB or MB.
QString FileSizeText(qint64 opened, qint64 saved = -1);

// The status bar after a save: where it went and its size, then what it had
// to reduce, as plainly as the command line's warning.
QString SavedText(const QString& path, qint64 bytes, const TFramePatchResult& frames);
// The status bar after a preview: the frames a save would reduce in colours;
// empty when there are none.
QString ReductionWarning(const TFramePatchResult& frames);

// The size panel while a new choice is judged: the opened size, the saved
// one not known yet.
QString PendingSizeText(qint64 opened);
