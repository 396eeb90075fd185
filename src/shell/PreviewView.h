#pragma once
// The preview pane: the web view that shows data/preview.html. It keeps no
// cache, so every showing is of the page, _.gif and bg.css as they are now.
// What the page is made of is window-free and lives in preview/.
// The pane only shows: neither it nor the widget the web engine puts inside
// it takes the keyboard, so Tab never stops on it without a mark.
#include <QUrl>
#include <QWebEngineView>

class TPreviewView : public QWebEngineView {
 public:
  explicit TPreviewView(QWidget* parent);

  // Loads url, or reloads it past any cache when it is the page shown.
  void ShowPage(const QUrl& url);

 protected:
  bool event(QEvent* e) override;
};
