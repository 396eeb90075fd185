#pragma once
// The pixel of a GIF's first frame, decoded by the picture plug-ins as the
// window decodes what it shows.
#include <QByteArray>
#include <memory>
#include <optional>

#include "choice/Choice.h"

class TSPIs;

// The process's plug-in manager, searching the same places as the window's.
std::unique_ptr<TSPIs> LoadPicturePlugins();

// The pixel at (x, y), or none when the point lies outside the picture.
// Raises EInvalidGraphic when no loaded plug-in can decode the bytes. Safe to call
// from several threads: decodes run one at a time.
std::optional<TShownPixel> FirstFramePixel(const QByteArray& gif, int x, int y);

// The entry a picked pixel names: its index when the decoded table agrees
// with the document's, else the first entry of exactly its colour.
std::optional<int> EntryOfPickedPixel(const TGifDocument& doc, const TShownPixel& pixel);
