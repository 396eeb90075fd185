#include "plugins/PluginListing.h"

#include <QCoreApplication>

#include "plugins/SPIs.h"

QString PluginListingText(const TSPIs& spis) {
  QString text;
  for (int i = 0; i < spis.Count(); ++i) text += spis.Items(i)->PluginName + QStringLiteral("\r\n");
  text.chop(2);
  return text;
}

QString SkippedPluginsText(const TSPIs& spis) {
  if (spis.Skipped.isEmpty()) return QString();
  return QCoreApplication::translate("PluginListing", "次のSusie Pluginは使えないため読み込みませんでした。\r\n\r\n") +
         spis.Skipped.join(QStringLiteral("\r\n"));
}
