#pragma once
// The one open GIF: its bytes, the fields read from its header, and the user's
// transparency choice. The image is never re-encoded; saving and previewing
// only rewrite the two bytes of the Graphic Control Extension.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "document/Reach.h"
#include "document/Color.h"
#include "document/FramePatch.h"


int Powered(int base, int exponent);

// What the header reader finds in a file; nothing of a document changes until
// a file has been read completely.
struct TGifHeader {
  QByteArray Data;  // the file, with a Graphic Control Extension inserted when it had none
  int ImageWidth = 0;
  int ImageHeight = 0;
  int ColorCount = 0;
  std::array<TColor, 256> Palette{};
  uint8_t GceFlags = 0;
  int GceFlagsOffset = 0;
  int TransparentIndexOffset = 0;
  uint8_t LoadedTransIndex = 0;
  bool InsertedGce = false;
};

// Why bytes were not taken as a GIF.
struct TGifRefusal {
  enum TKind { NoSignature, EndsEarly, DamagedBlock, TooLarge } Kind = NoSignature;
  int Offset = 0;  // of the damaged block
};

// Walks the block structure up to the first image descriptor. Empty, with
// the reason in why, when the bytes are not a GIF that can be patched. A GIF
// without any colour table gets a default one.
std::optional<TGifHeader> ParseGifHeader(const QByteArray& file, TGifRefusal* why = nullptr);

// The reason as the clause added to the refusal message.
QString RefusalReason(const TGifRefusal& why);

class TGifDocument {
 public:
  QByteArray GifData;
  int ImageHeight = 0;
  int ImageWidth = 0;
  int ColorCount = 0;
  std::array<TColor, 256> PaletteColors{};
  bool LoadedTransparent = false;
  uint8_t LoadedTransIndex = 0;
  bool TransparentOn = false;
  uint8_t TransparentIndex = 0;
  // A colour was chosen in this file (a pick, an entry of the palette): until
  // then TransparentIndex is the file's own, or means nothing.
  bool ColorChosen = false;
  uint8_t GceFlags = 0;
  int GceFlagsOffset = 0;
  int TransparentIndexOffset = 0;
  QString OpenedFileName;
  // How far the choice reaches: the window's or the command line's setting,
  // kept when another file is read.
  TReach Reach;

  // Replaces every field from the file's bytes; false (and nothing changed)
  // when the bytes cannot be read as a GIF.
  bool ReadGifHeader(const QByteArray& file);
  void Assign(const TGifHeader& header);

  // Writes the transparency choice into the first frame's control block of
  // bytes laid out like GifData.
  void PatchTransparency(QByteArray& bytes) const;

  // The edits that write the choice into GifData's first frame, and into
  // every later one when allFrames is set: control bytes only. Always planned
  // afresh from GifData, so earlier choices leave nothing behind. A save
  // starts from these (frames/SavePlan), with GifData's walk when it has it.
  TFramePatchResult PlanPatch(bool allFrames, TGifEdits& edits, const TFrameWalk* walk = nullptr) const;

 private:
  void PatchFirstFrame(TGifEdits& edits, const QByteArray& bytes) const;
};
