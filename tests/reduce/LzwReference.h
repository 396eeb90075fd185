#pragma once
// A second GIF LZW coder, written for the tests from the description of the
// classic "compress" scheme the program's coder follows, so the two must
// agree to the byte:
// - codes of minimum code size m (2 for 1-bit pictures) start at width m + 1;
//   the stream opens with the clear code 2^m and closes with the end code;
// - strings live in a 5119-slot open-addressing table keyed by
//   (index << 12) + prefix code, home slot (index << 4) xor prefix; a miss at
//   a used slot probes downwards by (5119 - home), or by 1 from slot 0, for
//   as long as the slots met hold a positive key (a key of 0 ends the search);
// - after a code is written, the width grows when the next free code no
//   longer fits it (at most 12 bits);
// - when all 4096 codes are taken, the next new string writes its prefix,
//   then a clear code at the current width, empties the table and restarts
//   at width m + 1;
// - codes are packed least significant bit first into 255-byte sub-blocks,
//   followed by a zero-length block.
#include <QByteArray>
#include <cstdint>
#include <vector>

QByteArray ReferenceLzw(const std::vector<uint8_t>& indices, int bits);
