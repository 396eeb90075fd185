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
  QStringList notes;
  if (frames.Rewritten > 0) notes << QCoreApplication::translate("FramesPanel", "書換 %1").arg(frames.Rewritten);
  if (frames.NotRight > 0) notes << QCoreApplication::translate("FramesPanel", "不可 %1").arg(frames.NotRight);
  if (frames.Reduced > 0) notes << QCoreApplication::translate("FramesPanel", "減色 %1").arg(frames.Reduced);
  if (frames.TooLargeToJudge) notes << QCoreApplication::translate("FramesPanel", "未確認");
  // With notes beside them the counts go without the word, so that all of
  // it shows at the window's default width.
  if (frames.Frames > 1)
    text = (notes.isEmpty() ? QCoreApplication::translate("FramesPanel", "透過 %1/%2 ﾌﾚｰﾑ")
                            : QCoreApplication::translate("FramesPanel", "透過 %1/%2"))
               .arg(frames.TransparentFrames)
               .arg(frames.Frames);
  if (!notes.isEmpty()) text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + QStringLiteral("(") + notes.join(QStringLiteral(", ")) + QStringLiteral(")");
  // Image data giflib cannot decode is damage as much as a file cut short.
  if (frames.Damaged)
    text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + QCoreApplication::translate("FramesPanel", "以降破損");
  else if (frames.UndecodedFrom >= 0)
    text += (text.isEmpty() ? QString() : QStringLiteral(" ")) +
            QCoreApplication::translate("FramesPanel", "%1 ﾌﾚｰﾑ目から破損").arg(frames.UndecodedFrom + 1);
  return text;
}

QString JudgingText(int done, int count) {
  return QCoreApplication::translate("FramesPanel", "判定中 %1/%2").arg(done).arg(count);
}

namespace {

// A size in at most seven characters: KB below 999.5 KB, else MB with one
// decimal below 999.95 MB, else whole MB.
QString ShortSize(qint64 bytes) {
  constexpr qint64 kKB = 1024, kMB = 1024 * 1024;
  const qint64 kb = (bytes + kKB / 2) / kKB, tenths = (bytes * 10 + kMB / 2) / kMB;
  if (kb < 1000) return QString::number(qMax<qint64>(1, kb)) + QStringLiteral("KB");
  if (tenths < 10000) return QStringLiteral("%1.%2MB").arg(tenths / 10).arg(tenths % 10);
  return QString::number((bytes + kMB / 2) / kMB) + QStringLiteral("MB");
}

}  // namespace

QString PendingSizeText(qint64 opened) { return ShortSize(opened) + QStringLiteral("→…"); }

QString FileSizeText(qint64 opened, qint64 saved) {
  if (saved < 0) return QString::number(opened) + QStringLiteral(" byte");
  // Both whole in the panel's room, however large.
  return ShortSize(opened) + QStringLiteral("→") + ShortSize(saved);
}

QString SavedText(const QString& path, qint64 bytes, const TFramePatchResult& frames) {
  QString text = QCoreApplication::translate("FramesPanel", "保存しました: %1 (%2 バイト)").arg(path).arg(bytes);
  if (frames.Reduced > 0)
    text += QCoreApplication::translate("FramesPanel", "。%1 フレームは描く色が 256 色に収まらないため、近い色どうしをまとめました")
                .arg(frames.Reduced);
  return text;
}

QString ReductionWarning(const TFramePatchResult& frames) {
  if (frames.Reduced <= 0) return QString();
  return QCoreApplication::translate("FramesPanel", "保存すると、%1 フレームは描く色が 256 色に収まらないため、近い色どうしをまとめます")
      .arg(frames.Reduced);
}
