#include "shell/PreviewView.h"

#include <QChildEvent>
#include <QWebEnginePage>
#include <QWebEngineProfile>

TPreviewView::TPreviewView(QWidget* parent) : QWebEngineView(parent) {
  page()->profile()->setHttpCacheType(QWebEngineProfile::NoCache);
  setFocusPolicy(Qt::NoFocus);
}

void TPreviewView::ShowPage(const QUrl& url) {
  if (this->url() == url)
    page()->triggerAction(QWebEnginePage::ReloadAndBypassCache);
  else
    setUrl(url);
}

bool TPreviewView::event(QEvent* e) {
  // The engine adds its render widget when the first page loads, focusable.
  if (e->type() == QEvent::ChildPolished)
    if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(e)->child())) child->setFocusPolicy(Qt::NoFocus);
  return QWebEngineView::event(e);
}
