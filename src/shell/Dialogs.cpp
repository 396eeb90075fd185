#include "shell/Dialogs.h"

#include <QCoreApplication>

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QRegularExpression>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QTreeView>

#include "document/Exception.h"
#include "document/SaveName.h"
#include "shell/ErrorReport.h"
#include "shell/OpenPreview.h"

namespace {

TDialogs RealDialogs;
TDialogs* Current = &RealDialogs;

QWidget* Owner(QWidget* owner) { return owner ? owner : QApplication::activeWindow(); }

// A message box is at least as wide as its title needs: Qt sizes it by its
// text alone, and a window manager then cuts a long title short.
void WidenForTitle(QMessageBox& box) {
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (!grid) return;
  grid->addItem(new QSpacerItem(MessageBoxMinimumWidth(box.windowTitle()), 0, QSizePolicy::Fixed,
                                QSizePolicy::Minimum),
                grid->rowCount(), 0, 1, grid->columnCount());
}

// Filters name their patterns in their text already ("GIF画像(*.gif)"): the
// dialog does not repeat the patterns. Its detail columns (size, type, date)
// are as wide as their texts once the folder is read.
void PrepareFileDialog(QFileDialog& d) {
  d.setOption(QFileDialog::HideNameFilterDetails, true);
  auto* view = d.findChild<QTreeView*>(QStringLiteral("treeView"));
  auto* model = d.findChild<QFileSystemModel*>();
  if (!view || !model) return;
  const auto widen = [view] {
    QHeaderView* header = view->header();
    for (int column = 1; column < header->count(); ++column) {
      const int before = header->sectionSize(column);
      view->resizeColumnToContents(column);  // its texts and its title
      header->resizeSection(column, qMax(before, header->sectionSize(column)));
    }
  };
  QObject::connect(model, &QFileSystemModel::directoryLoaded, view, widen);
  widen();
}

int Exec(QMessageBox& box) {
  WidenForTitle(box);
  return box.exec();
}

// Return and Escape both keep the file: replacing it takes its own button.
bool ConfirmReplace(QWidget* owner, const QString& path) {
  QMessageBox box(QMessageBox::Warning, QCoreApplication::translate("Dialogs", "確認"), ReplaceQuestion(path),
                  QMessageBox::NoButton, owner);
  QPushButton* replace = box.addButton(QCoreApplication::translate("Dialogs", "置き換える(&R)"), QMessageBox::AcceptRole);
  QPushButton* keep = box.addButton(QCoreApplication::translate("Dialogs", "キャンセル"), QMessageBox::RejectRole);
  box.setDefaultButton(keep);
  box.setEscapeButton(keep);
  Exec(box);
  return box.clickedButton() == replace;
}

}  // namespace

int MessageBoxMinimumWidth(const QString& title) {
  // The title bar's font is the window manager's; count it half as large
  // again as the program's and bold, and leave room for the icon and buttons.
  QFont font = QApplication::font();
  font.setBold(true);
  font.setPixelSize(qMax(font.pixelSize(), 8) * 3 / 2);
  return qMax(260, QFontMetrics(font).horizontalAdvance(title) + 160);
}

TDialogs& Dialogs() { return *Current; }
void SetDialogs(TDialogs* dialogs) { Current = dialogs ? dialogs : &RealDialogs; }

void TDialogs::ShowMessage(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tomaru"), text, QMessageBox::Ok, Owner(owner));
  Exec(box);
}

bool TDialogs::Confirm(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Question, QCoreApplication::translate("Dialogs", "確認"), text, QMessageBox::NoButton, Owner(owner));
  QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.addButton(QCoreApplication::translate("Dialogs", "キャンセル"), QMessageBox::RejectRole);
  Exec(box);
  return box.clickedButton() == ok;
}

void TDialogs::ShowError(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Tomaru"), text, QMessageBox::Ok, Owner(owner));
  Exec(box);
}

std::optional<QString> TDialogs::OpenFile(QWidget* owner, const TFileDialogOptions& o) {
  QFileDialog d(Owner(owner), o.Title, QFileInfo(o.FileName).path(), o.Filter);
  // Qt's own dialog: it speaks the program's Japanese and has room for the preview.
  d.setOption(QFileDialog::DontUseNativeDialog, true);
  d.setAcceptMode(QFileDialog::AcceptOpen);
  d.setFileMode(QFileDialog::ExistingFile);
  d.setDefaultSuffix(o.DefaultSuffix);
  d.setOption(QFileDialog::ReadOnly, false);
  PrepareFileDialog(d);
  TOpenPreview* preview = AttachOpenPreview(d);
  d.resize(d.sizeHint().expandedTo(QSize(760, 440)));
  if (!o.FileName.isEmpty()) {
    d.selectFile(o.FileName);
    preview->ShowFile(o.FileName);
  }
  if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
  return d.selectedFiles().first();
}

std::optional<QString> TDialogs::SaveFile(QWidget* owner, const TFileDialogOptions& o) {
  QFileDialog d(Owner(owner), o.Title, QFileInfo(o.FileName).path(), o.Filter);
  d.setOption(QFileDialog::DontUseNativeDialog, true);
  d.resize(d.sizeHint().expandedTo(QSize(760, 440)));
  d.setAcceptMode(QFileDialog::AcceptSave);
  d.setFileMode(QFileDialog::AnyFile);
  d.setDefaultSuffix(o.DefaultSuffix);
  // A format chosen in the list gives a bare name its extension.
  QObject::connect(&d, &QFileDialog::filterSelected, &d, [&d](const QString& filter) {
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
    if (m.hasMatch()) d.setDefaultSuffix(m.captured(1).toLower());
  });
  // Qt would ask also before replacing the opened GIF, the common case: the
  // question is asked below, for other files only.
  d.setOption(QFileDialog::DontConfirmOverwrite, true);
  PrepareFileDialog(d);
  if (!o.FileName.isEmpty()) d.selectFile(o.FileName);
  for (;;) {
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
    QString chosen = d.selectedFiles().first();
    // Some platform dialogs ignore the default suffix; a bare name still gets it.
    if (!d.defaultSuffix().isEmpty() && QFileInfo(chosen).suffix().isEmpty()) chosen += QLatin1Char('.') + d.defaultSuffix();
    if (!AsksBeforeReplacing(chosen, o.OpenedFile) || ConfirmReplace(&d, chosen)) return chosen;
    // Declined: back to the dialog, as Qt's own question does, unless the
    // window closed meanwhile.
    if (d.parentWidget() && !d.parentWidget()->isVisible()) return std::nullopt;
  }
}

std::optional<QColor> TDialogs::ChooseColor(QWidget* owner, const QColor& initial) {
  const QColor c = QColorDialog::getColor(initial, Owner(owner), QString(), QColorDialog::DontUseNativeDialog);
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
