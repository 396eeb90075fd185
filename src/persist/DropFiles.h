#pragma once
// Files dropped on the main window: GIF, BMP, PNG and JPEG files are opened in drop
// order; the first file of any other kind is refused and ends the drop.
#include <QString>
#include <QStringList>
#include <functional>

// The extension of the name part from its last ".", dot included, with its
// ASCII letters lower-cased; empty when the name has no dot.
QString DropExtension(const QString& path);
bool IsDropAccepted(const QString& extension);
// "拡張子「" + ext + "」のファイルは処理できません。"
QString DropRefusalMessage(const QString& extension);

// Opens each accepted path through Open, in order; at the first refused one
// shows the refusal through ShowMessage and stops.
void DropFiles(const QStringList& paths, const std::function<void(const QString&)>& Open,
               const std::function<void(const QString&)>& ShowMessage);
