#include "document/FramesPanel.h"

#include <QCoreApplication>
#include <QStringList>

QString FramesCountText(const TFramePatchResult& frames) {
  QString text;
  if (frames.Frames > 1) text = QCoreApplication::translate("FramesPanel", "%1 ﾌﾚｰﾑ").arg(frames.Frames);
  if (frames.Damaged) text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + QCoreApplication::translate("FramesPanel", "以降破損");
  return text;
}

QString FramesPanelText(const TFramePatchResult& frames) {
  QString text;
  if (frames.Frames > 1)
    text = QCoreApplication::translate("FramesPanel", "透過 %1/%2 ﾌﾚｰﾑ").arg(frames.TransparentFrames).arg(frames.Frames);
  QStringList notes;
  if (frames.Rewritten > 0) notes << QCoreApplication::translate("FramesPanel", "書換 %1").arg(frames.Rewritten);
  if (frames.NotRight > 0) notes << QCoreApplication::translate("FramesPanel", "不可 %1").arg(frames.NotRight);
  if (frames.TooLargeToJudge) notes << QCoreApplication::translate("FramesPanel", "未確認");
  if (!notes.isEmpty()) text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("(") + notes.join(QStringLiteral(", ")) + QStringLiteral(")");
  // Image data giflib cannot decode is damage as much as a file cut short.
  if (frames.Damaged)
    text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + QCoreApplication::translate("FramesPanel", "以降破損");
  else if (frames.UndecodedFrom >= 0)
    text += (text.isEmpty() ? QString() : QStringLiteral(" ")) +
            QCoreApplication::translate("FramesPanel", "%1 ﾌﾚｰﾑ目から破損").arg(frames.UndecodedFrom + 1);
  return text;
}
