#include "alpha/SaveWithAlpha.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "alpha/AlphaErrors.h"
#include "document/Exception.h"
#include "document/FileOps.h"
#include "frames/AlphaFrames.h"

std::unique_ptr<TAlphaWriter> EncodeChoiceWithAlpha(const TGifDocument& doc, bool allFrames, TAlphaFormat format,
                                                    const QString& target, TAlphaOutcome& outcome,
                                                    const TPlanProgress& progress) {
  const TAlphaCanvas canvas = AlphaCanvasOf(doc, allFrames);
  std::unique_ptr<TAlphaWriter> writer = NewAlphaWriter(
      {format, target, canvas.Area.Width(), canvas.Area.Height(), canvas.Frames, canvas.Loops}, outcome.Error);
  if (!writer) return nullptr;
  QString refused;
  const TAlphaFramesResult frames = ComposeAlphaFrames(
      doc, allFrames,
      [&](const TPixel* pixels, int delay) { return writer->Add(pixels, delay, refused); }, progress);
  outcome.UndecodedFrom = frames.UndecodedFrom;
  if (!refused.isEmpty()) {
    outcome.Error = refused;  // the writer's message names the target already
  } else if (frames.Stopped) {
    outcome.Stopped = true;
  } else if (frames.UndecodedFrom >= 0) {
    outcome.Error = SaveFailure(
        target, QCoreApplication::translate("AlphaWriter", "%1 フレーム目から画像データが壊れているため、書き出せません")
                    .arg(frames.UndecodedFrom + 1));
  } else if (frames.TooLarge) {
    outcome.Error = SaveFailure(target, QCoreApplication::translate("AlphaWriter", "画面が大きすぎて合成できません"));
  } else if (writer->Finish(outcome.Error)) {
    return writer;
  }
  return nullptr;
}

TAlphaOutcome SaveChoiceWithAlpha(const TGifDocument& doc, bool allFrames, TAlphaFormat format,
                                  const QString& target, const TPlanProgress& progress) {
  TAlphaOutcome outcome;
  const std::unique_ptr<TAlphaWriter> writer = EncodeChoiceWithAlpha(doc, allFrames, format, target, outcome, progress);
  if (!writer) return outcome;
  try {
    SaveToFile(target, [&writer](int fd) { return writer->WriteTo(fd); });
  } catch (const Exception& e) {
    outcome.Error = e.message();
    return outcome;
  }
  outcome.Bytes = QFileInfo(target).size();
  return outcome;
}
