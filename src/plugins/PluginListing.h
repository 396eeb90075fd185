#pragma once
// The text of the plug-in listing: every loaded plug-in's name, in list
// order and of every kind, joined by CR LF.
#include <QString>

class TSPIs;

QString PluginListingText(const TSPIs& spis);

// The one report after a search: every file passed over, with why; empty
// when none was.
QString SkippedPluginsText(const TSPIs& spis);
