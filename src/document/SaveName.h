#pragma once
// The file name the save dialog proposes.
#include <QString>

// caption: the window title (the path actually read); tempGif: data/temp.gif;
// opened: the path the user opened; previous: the dialog's current name.
QString ProposedSaveName(const QString& caption, const QString& tempGif, const QString& opened,
                         const QString& previous);

// Whether a save to chosen asks first: it would replace an existing file
// other than the one opened (saving over that one is the everyday case).
bool AsksBeforeReplacing(const QString& chosen, const QString& opened);
QString ReplaceQuestion(const QString& path);
