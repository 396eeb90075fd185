#include "shell/PreviewView.h"

#include <QWebEnginePage>
#include <QWebEngineProfile>

TPreviewView::TPreviewView(QWidget* parent) : QWebEngineView(parent) {
  page()->profile()->setHttpCacheType(QWebEngineProfile::NoCache);
}

void TPreviewView::ShowPage(const QUrl& url) {
  if (this->url() == url)
    page()->triggerAction(QWebEnginePage::ReloadAndBypassCache);
  else
    setUrl(url);
}
