#include "alpha/AlphaWork.h"

#include "frames/AlphaFrames.h"

namespace {

class TModuleWork final : public TAlphaWork {
 public:
  std::unique_ptr<TAlphaWriter> EncodeChoice(const TGifDocument& doc, bool allFrames, TAlphaFormat format,
                                             const QString& target, TAlphaOutcome& outcome,
                                             const TPlanProgress& progress) override {
    return EncodeChoiceWithAlpha(doc, allFrames, format, target, outcome, progress);
  }

  std::unique_ptr<TAlphaWriter> EncodePicture(const TCanvas& picture, std::optional<TPixel> chosen, const TReach& reach,
                                              TAlphaFormat format, const QString& target,
                                              TAlphaOutcome& outcome) override {
    const TRect area = picture.Bounds();
    std::unique_ptr<TAlphaWriter> writer =
        NewAlphaWriter({format, target, area.Width(), area.Height(), 1, std::nullopt}, outcome.Error);
    if (!writer) return nullptr;
    const std::vector<TPixel> pixels = AlphaTargetOfPicture(picture, chosen, reach);
    if (!writer->Add(pixels.data(), 0, outcome.Error) || !writer->Finish(outcome.Error)) return nullptr;
    return writer;
  }
};

}  // namespace

TAlphaWork* TomaruNewAlphaWork() { return new TModuleWork; }
