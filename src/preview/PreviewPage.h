#pragma once
// The preview page as the window shows it: the working copy of the chosen
// format, on the page colour, and beside it on a contrasting page when both
// kinds of page are asked for, so a file that survives only one shows it.
#include <QByteArray>
#include <QString>
#include <optional>

#include "document/GifDocument.h"

// Light when page is dark, dark when it is light.
TColor ContrastingPage(TColor page);

// templ (PreviewTemplate) showing image (a file beside the page) in place of
// _.gif; with second, the picture twice side by side, the right one on
// second. The template itself for _.gif alone.
QByteArray PreviewPage(const QByteArray& templ, const QString& image, std::optional<TColor> second);
