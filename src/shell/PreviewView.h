#pragma once
// The preview pane: the web view that shows data/preview.html. It keeps no
// cache, so every showing is of the page, _.gif and bg.css as they are now.
// What the page is made of is window-free and lives in preview/.
#include <QUrl>
#include <QWebEngineView>

class TPreviewView : public QWebEngineView {
 public:
  explicit TPreviewView(QWidget* parent);

  // Loads url, or reloads it past any cache when it is the page shown.
  void ShowPage(const QUrl& url);
};
