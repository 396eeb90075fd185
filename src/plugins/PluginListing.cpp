#include "plugins/PluginListing.h"

#include "plugins/SPIs.h"

QString PluginListingText(const TSPIs& spis) {
  QString text;
  for (int i = 0; i < spis.Count(); ++i) text += spis.Items(i)->PluginName + QStringLiteral("\r\n");
  text.chop(2);
  return text;
}
