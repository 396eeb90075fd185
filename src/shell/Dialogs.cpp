#include "shell/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "document/Exception.h"
#include "shell/ErrorReport.h"

namespace {

TDialogs RealDialogs;
TDialogs* Current = &RealDialogs;

QWidget* Owner(QWidget* owner) { return owner ? owner : QApplication::activeWindow(); }

}  // namespace

TDialogs& Dialogs() { return *Current; }
void SetDialogs(TDialogs* dialogs) { Current = dialogs ? dialogs : &RealDialogs; }

void TDialogs::ShowMessage(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tomaru"), text, QMessageBox::Ok, Owner(owner));
  box.exec();
}

bool TDialogs::Confirm(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), text, QMessageBox::NoButton, Owner(owner));
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
  box.exec();
  return box.clickedButton() == ok;
}

void TDialogs::ShowError(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Tomaru"), text, QMessageBox::Ok, Owner(owner));
  box.exec();
}

std::optional<QString> TDialogs::OpenFile(QWidget* owner, const TFileDialogOptions& o) {
  QFileDialog d(Owner(owner), o.Title, QFileInfo(o.FileName).path(), o.Filter);
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFile);
  d.setDefaultSuffix(o.DefaultSuffix);
  d.setOption(QFileDialog::ReadOnly, false);
  if (!o.FileName.isEmpty()) d.selectFile(o.FileName);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  return d.selectedFiles().first();
}

std::optional<QString> TDialogs::SaveFile(QWidget* owner, const TFileDialogOptions& o) {
  QFileDialog d(Owner(owner), o.Title, QFileInfo(o.FileName).path(), o.Filter);
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  d.setDefaultSuffix(o.DefaultSuffix);
  // Replacing an existing file is the common case (saving over the opened GIF).
  d.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!o.FileName.isEmpty()) d.selectFile(o.FileName);
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  QString chosen = d.selectedFiles().first();
  // Some platform dialogs ignore the default suffix; a bare name still gets it.
  if (!o.DefaultSuffix.isEmpty() && QFileInfo(chosen).suffix().isEmpty()) chosen += QLatin1Char('.') + o.DefaultSuffix;
  return chosen;
}

std::optional<QColor> TDialogs::ChooseColor(QWidget* owner, const QColor& initial) {
  const QColor c = QColorDialog::getColor(initial, Owner(owner));
  if (!c.isValid()) return std::nullopt;
  return c;
}

QString ErrorReportText(const QString& message) {
  if (!message.isEmpty() && message.back() > QLatin1Char('.')) return message + QLatin1Char('.');
  return message;
}

void ReportError(const QString& message) { Dialogs().ShowError(nullptr, ErrorReportText(message)); }

void ReportException(const std::exception& e) {
  if (auto* ours = dynamic_cast<const Exception*>(&e)) {
    ReportError(ours->message());
  } else {
    ReportError(QString::fromLocal8Bit(e.what()));
  }
}
