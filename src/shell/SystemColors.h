#pragma once
// The desktop's colours for the classic system-colour indices (button face,
// window, highlight, ...), taken from the application palette.
#include "document/GifDocument.h"

TColor SystemColor(int index);
