#pragma once
// The GIF variable-width LZW coder. Its bytes are fixed, not just its
// decodability: the string table is the classic 5119-slot open-addressing
// table with its probing rule, so every build writes the same file.
#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <functional>

using TGIFProgressHandler = std::function<void(int percent)>;

// Appends the image data for count palette indices of bits bits (1..8): the
// minimum code size byte, the data sub-blocks and the block terminator.
// width only sets the progress cadence; progress may be empty. count > 0.
void LzwCompress(QByteArray& out, const uint8_t* indices, size_t count, int width, int bits,
                 const TGIFProgressHandler& progress);
