#pragma once
// The help: an in-app window that shows pages out of help.chm, and the two
// ways the program opens it (the whole file, or one topic for a window).
#include <QPointer>
#include <QTextBrowser>
#include <QWidget>
#include <memory>

#include "help/HelpFile.h"

class QToolBar;
class TChmFile;

// Where help requests go. Tests put a recording one in place of the window.
class THelpDisplay {
 public:
  virtual ~THelpDisplay() = default;
  // Shows request.Topic of request.File (its default topic when Topic is
  // empty) in the help window, owned by owner.
  virtual void Display(QWidget* owner, const THelpRequest& request);
};

THelpDisplay& HelpDisplay();
// Replaces the display in use (not owned); nullptr restores the window.
void SetHelpDisplay(THelpDisplay* display);

// The help command: help.chm at its default topic. The file is not checked
// first; the window says so when it cannot open it.
void OpenHelpFile(QWidget* owner, const QString& appDir);

// One topic ("palette(function)") as "html/" + topic inside appDir + "help.chm",
// owned by owner. Without help.chm it does nothing.
void OpenHelp2(QWidget* owner, const QString& topic, const QString& appDir);

// A text browser whose pages, images and links come out of a help file.
class THelpBrowser : public QTextBrowser {
  Q_OBJECT
 public:
  explicit THelpBrowser(QWidget* parent = nullptr);
  void SetFile(std::shared_ptr<TChmFile> file) { FFile = std::move(file); }
  // Shows a page of the file; false (and a note in the window) when it is missing.
  bool ShowPage(const QString& pathInside);
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  void FollowLink(const QUrl& link);
  std::shared_ptr<TChmFile> FFile;
};

class THelpViewer : public QWidget {
  Q_OBJECT
 public:
  explicit THelpViewer(QWidget* owner = nullptr);
  ~THelpViewer() override;

  // Opens file (again when it is another one) and shows topic, or the
  // default topic when topic is empty. False when nothing could be shown.
  bool ShowHelp(const QString& file, const QString& topic);

  QString FileName() const { return FFileName; }
  // The path inside the file of the page shown, without the leading "/".
  QString CurrentPath() const;
  THelpBrowser* Browser() const { return FBrowser; }

 private:
  void ShowNote(const QString& text);
  void UpdateTitle();

  QString FFileName;
  bool FShowingNote = false;
  std::shared_ptr<TChmFile> FFile;
  QToolBar* FBar;
  THelpBrowser* FBrowser;
};

// The help window that the real display shows requests in (nullptr before the
// first one or after it was closed).
THelpViewer* CurrentHelpViewer();
