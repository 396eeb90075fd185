#include "shell/StartHint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>

TStartHint::TStartHint(QWidget* parent) : QLabel(parent) {
  setObjectName(QStringLiteral("StartHint"));
  setWordWrap(true);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setMargin(12);
  setTextFormat(Qt::RichText);
  setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  connect(this, &QLabel::linkActivated, this, [this](const QString& link) {
    const int i = link.toInt();
    if (i >= 0 && i < Paths.size()) emit Chosen(Paths[i]);
  });
  parent->installEventFilter(this);
  setGeometry(parent->rect());
  SetRecent({});
}

void TStartHint::SetRecent(const QList<TRecentEntry>& entries) {
  QString html = QStringLiteral("<p>") +
                 QCoreApplication::translate("StartHint", "GIF・BMP・PNG・JPEG の画像を開くか(Ctrl+O)、ここにﾄﾞﾛｯﾌﾟしてください。")
                     .toHtmlEscaped() +
                 QStringLiteral("</p>");
  Paths.clear();
  if (!entries.isEmpty()) html += QStringLiteral("<p>") + QCoreApplication::translate("StartHint", "最近開いたﾌｧｲﾙ:") + QStringLiteral("</p>");
  for (const TRecentEntry& entry : entries) {
    const QFileInfo file(entry.Path);
    html += QStringLiteral("<p style=\"margin-left:12px\"><a href=\"%1\">%2</a><br><small>%3</small></p>")
                .arg(Paths.size())
                .arg(file.fileName().toHtmlEscaped(), file.path().toHtmlEscaped());
    Paths << entry.Path;
  }
  setText(html);
}

bool TStartHint::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
  return QLabel::eventFilter(watched, event);
}
