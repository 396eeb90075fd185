#pragma once
// The file name the save dialog proposes.
#include <QString>
#include <optional>

// caption: the window title (the path actually read); tempGif: data/temp.gif;
// opened: the path the user opened; previous: the dialog's current name.
QString ProposedSaveName(const QString& caption, const QString& tempGif, const QString& opened,
                         const QString& previous);

// Whether a save to chosen asks first: it would replace an existing file
// other than the one opened (saving over that one is the everyday case).
bool AsksBeforeReplacing(const QString& chosen, const QString& opened);
QString ReplaceQuestion(const QString& path);

// The formats a save writes, in the order of the window's format box.
enum class TSaveFormat { Gif, WebP, Png };
constexpr int kSaveFormatCount = 3;

// "gif", "webp" or "png".
QString FormatSuffix(TSaveFormat format);
// The format a file name's extension names, in any case; none for another.
std::optional<TSaveFormat> FormatOfName(const QString& path);
// name with the extension of format in place of one of the three (added
// where it has none of them).
QString NameInFormat(const QString& name, TSaveFormat format);
// Why an animation is not saved as PNG: it holds one picture; WebP holds them all.
QString PngHoldsOneFrameText();
