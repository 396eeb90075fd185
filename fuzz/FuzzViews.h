#pragma once
// Window stand-ins for the roads the targets drive, and the shipped GIF
// plug-in's exports, linked into the targets from its source.
#include <QStringList>
#include <optional>

#include "FuzzSupport.h"
#include "plugins/SusiePlugin.h"
#include "reduce/BmpToGif.h"

extern "C" {
int IsSupported(const char* fileName, const void* head);
int GetPictureInfo(const char* buf, intptr_t len, unsigned flag, SusiePictureInfo* info);
int GetPicture(const char* buf, intptr_t len, unsigned flag, SusieHandle* headerHandle, SusieHandle* bitsHandle,
               SusieProgressCallback progress, intptr_t data);
}

// Largest picture the BMP road is driven with: the reduction and the writer
// are exercised at small sizes, where runs stay fast.
constexpr int64_t kMaxRoadPixels = 256 * 256;

// Answers the reduction dialog with a choice made by the input (or cancels):
// a fixed depth, or the picture's own palette with or without dithering.
class TFuzzBmpView : public TBmpView {
 public:
  explicit TFuzzBmpView(uint8_t choice) : Choice(choice) {}
  uint8_t Choice;
  QStringList Messages;
  bool Asked = false;
  void SetMsg(int, const QString&) override {}
  void ShowMessage(const QString& text) override { Messages << text; }
  std::optional<int> AskReduceBits(int colorCount, const QString&) override {
    FUZZ_CHECK(colorCount > 256);
    Asked = true;
    static const int kChoices[] = {8, 4, 1, ReducePicturePalette};
    if (Choice % 5 == 4) return std::nullopt;
    return kChoices[Choice % 5];
  }
  bool Dither() const override { return (Choice & 0x40) != 0; }
};
