#pragma once
// The preview page's background colour: its CSS text and the name kept as the
// command's hint.
#include <QString>
#include <functional>
#include <optional>

#include "document/GifDocument.h"

// Resolves a system colour index (low byte of a value with the top bit set).
using TSystemColorResolver = std::function<TColor(int index)>;

// "#RRGGBB"; a system colour is first resolved through the resolver.
QString ChangeHTMLColor(TColor color, const TSystemColorResolver& system = {});

// One of the sixteen names ("clRed"), else "$" + eight hex digits ("$00030201").
QString ColorHintText(TColor color);

// The colour a hint names, read back as the settings keep it: one of the
// sixteen names (any case) or "$" and one to eight hex digits of a plain
// colour (top byte 0). Anything else (a hint text of either language, a
// system colour, a colour out of range) names none.
std::optional<TColor> ColorFromHintText(const QString& hint);

// "body { background-color: #RRGGBB; }", no line break.
QByteArray BackgroundCss(TColor color, const TSystemColorResolver& system = {});
