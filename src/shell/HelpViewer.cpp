#include "shell/HelpViewer.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QScreen>
#include <QShortcut>
#include <QStringDecoder>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>
#include <cerrno>
#include <unistd.h>

#include "document/FileErrors.h"
#include "help/ChmFile.h"
#include "help/HelpPlace.h"
#include "shell/Icons.h"

namespace {

THelpDisplay* gDisplay = nullptr;
QPointer<THelpViewer> gViewer;

QString WindowTitle() { return QCoreApplication::translate("HelpViewer", "Tomaru ヘルプ"); }

QString Escaped(const QString& text) { return text.toHtmlEscaped(); }

QString NotePage(const QString& text) {
  return QStringLiteral("<html><body><p>%1</p></body></html>")
      .arg(Escaped(text).replace(QLatin1Char('\n'), QLatin1String("<br>")));
}

QString DecodeHtml(const QByteArray& bytes) {
  // The pages say their own encoding; without a declaration they are UTF-8.
  QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
  if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
  return decoder.decode(bytes);
}

// Why a help file did not open: the system's reason when it could not be
// read at all, else that it is no help file.
QString CannotOpenText(const QString& file) {
  const QFileInfo info(file);
  int code = 0;
  if (!info.exists())
    code = ENOENT;
  else if (info.isDir())
    code = EISDIR;
  else if (::access(QFile::encodeName(file).constData(), R_OK) != 0)
    code = errno;
  if (code) return FileErrorText(TFileAction::Read, file, code);
  return QCoreApplication::translate("HelpViewer", "ファイル「%1」はヘルプファイル(CHM形式)として読み込めませんでした。").arg(file);
}

}  // namespace

// ---- where requests go ----

namespace {

// A new help window opens beside the window that asked for it, inside its
// screen; later it stays where the user put it.
void PlaceBeside(QWidget& viewer, QWidget* owner) {
  QWidget* window = owner ? owner->window() : nullptr;
  if (!window || !window->isVisible() || !window->screen()) return;
  const QRect frame = window->frameGeometry();
  const QSize decoration = frame.size() - window->geometry().size();
  const QRect place = HelpWindowPlace(frame, viewer.size() + decoration, window->screen()->availableGeometry());
  viewer.resize(place.size() - decoration);
  viewer.move(place.topLeft());
}

}  // namespace

void THelpDisplay::Display(QWidget* owner, const THelpRequest& request) {
  if (!gViewer) {
    gViewer = new THelpViewer(owner);
    PlaceBeside(*gViewer, owner);
  } else if (gViewer->parentWidget() != owner) {
    // The window follows its owner, so a modal owner does not lock it out.
    const QRect place = gViewer->geometry();
    gViewer->setParent(owner, gViewer->windowFlags());
    gViewer->setGeometry(place);
  }
  gViewer->ShowHelp(request.File, request.Topic);
  gViewer->show();
  gViewer->raise();
  gViewer->activateWindow();
}

THelpDisplay& HelpDisplay() {
  static THelpDisplay window;
  return gDisplay ? *gDisplay : window;
}

void SetHelpDisplay(THelpDisplay* display) { gDisplay = display; }

THelpViewer* CurrentHelpViewer() { return gViewer.data(); }

void OpenHelpFile(QWidget* owner, const QString& appDir) {
  HelpDisplay().Display(owner, THelpRequest{HelpFilePath(appDir), QString()});
}

void OpenHelp2(QWidget* owner, const QString& topic, const QString& appDir) {
  if (const auto request = HelpTopicRequest(appDir, topic)) HelpDisplay().Display(owner, *request);
}

// ---- the browser ----

THelpBrowser::THelpBrowser(QWidget* parent) : QTextBrowser(parent) {
  // Links are followed here: inside the file, or handed to the desktop.
  setOpenLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, &THelpBrowser::FollowLink);
}

bool THelpBrowser::ShowPage(const QString& pathInside) {
  if (!FFile || !FFile->Contains(pathInside)) return false;
  setSource(HelpPageUrl(pathInside), QTextDocument::HtmlResource);
  return true;
}

QVariant THelpBrowser::loadResource(int type, const QUrl& name) {
  const QUrl url = name.isRelative() ? source().resolved(name) : name;
  const auto path = PathInsideHelp(url);
  if (!path || !FFile) return QVariant();
  const auto bytes = FFile->Read(*path);
  if (!bytes) return QVariant();
  if (type == QTextDocument::HtmlResource) return DecodeHtml(*bytes);
  if (type == QTextDocument::ImageResource) {
    QImage image;
    if (image.loadFromData(*bytes)) return image;
    return QVariant();
  }
  if (type == QTextDocument::StyleSheetResource) return QString::fromUtf8(*bytes);
  return *bytes;
}

void THelpBrowser::FollowLink(const QUrl& link) {
  const QUrl url = link.isRelative() ? source().resolved(link) : link;
  const auto path = PathInsideHelp(url);
  if (!path) {
    QDesktopServices::openUrl(url);
    return;
  }
  if (url.adjusted(QUrl::RemoveFragment) == source().adjusted(QUrl::RemoveFragment)) {
    if (url.hasFragment()) scrollToAnchor(url.fragment(QUrl::FullyDecoded));
    return;
  }
  if (FFile && FFile->Contains(*path)) setSource(url, QTextDocument::HtmlResource);
}

// ---- the window ----

THelpViewer::THelpViewer(QWidget* owner) : QWidget(owner, Qt::Window) {
  setObjectName(QStringLiteral("HelpViewer"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(WindowTitle());
  setWindowIcon(ProgramIcon());
  resize(640, 480);
  // Esc closes the help, as it closes a dialog.
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  FBar = new QToolBar(this);
  FBar->setObjectName(QStringLiteral("tbtHelp"));
  column->addWidget(FBar);
  FBrowser = new THelpBrowser(this);
  FBrowser->setObjectName(QStringLiteral("brwHelp"));
  column->addWidget(FBrowser, 1);

  QAction* back = FBar->addAction(QCoreApplication::translate("HelpViewer", "戻る"), FBrowser, &QTextBrowser::backward);
  QAction* forward = FBar->addAction(QCoreApplication::translate("HelpViewer", "進む"), FBrowser, &QTextBrowser::forward);
  FBar->addAction(QCoreApplication::translate("HelpViewer", "目次"), this, [this] {
    if (FFile) FBrowser->ShowPage(FFile->DefaultTopic());
  });
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(FBrowser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(FBrowser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  connect(FBrowser, &QTextBrowser::sourceChanged, this, [this] {
    FShowingNote = false;
    UpdateTitle();
  });
}

THelpViewer::~THelpViewer() = default;

bool THelpViewer::ShowHelp(const QString& file, const QString& topic) {
  if (!FFile || file != FFileName) {
    auto opened = std::make_shared<TChmFile>(file);
    FFileName = file;
    FFile = opened->IsOpen() ? opened : nullptr;
    FBrowser->SetFile(FFile);
    FBrowser->clearHistory();
  }
  if (!FFile) {
    ShowNote(CannotOpenText(file));
    return false;
  }
  const QString path = topic.isEmpty() ? FFile->DefaultTopic() : topic;
  if (!FBrowser->ShowPage(path)) {
    ShowNote(QCoreApplication::translate("HelpViewer", "ページ %1 が見つかりません。").arg(path));
    return false;
  }
  return true;
}

QString THelpViewer::CurrentPath() const {
  if (FShowingNote) return QString();
  return PathInsideHelp(FBrowser->source()).value_or(QString());
}

void THelpViewer::ShowNote(const QString& text) {
  FBrowser->setHtml(NotePage(text));
  FShowingNote = true;
  setWindowTitle(WindowTitle());
}

void THelpViewer::UpdateTitle() {
  const QString title = FBrowser->documentTitle();
  setWindowTitle(title.isEmpty() ? WindowTitle() : WindowTitle() + QStringLiteral(" - ") + title);
}
