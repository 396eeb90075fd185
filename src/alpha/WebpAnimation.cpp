#include "alpha/WebpAnimation.h"

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <webp/encode.h>
#include <webp/mux.h>

#include "alpha/AlphaErrors.h"
#include "document/FileErrors.h"
#include "document/FileOps.h"

namespace {

// Chosen with bench/alpha_save_vs_gif2webp.sh and bench/alpha_cli_vs_gif2webp.sh
// against gif2webp (quality 75, method 4, a key frame considered every 9 to 17
// frames): with no key frames each frame is encoded once, as the rectangle that
// changed, instead of also whole: a third less time. Key frames only help a
// viewer that seeks, and browsers play from the start; without them the heavy
// animation came out 78 bytes larger at quality 75, and 330 bytes smaller at
// 70 (the noise and the small animations the same size to the byte, a still
// picture with a moving shape 0.2% smaller, all as fast or faster).
constexpr float kQuality = 70;  // for lossless: effort spent searching, not loss
constexpr int kMethod = 4;
constexpr int kNoKeyFrames = INT_MAX;  // libwebp's kmax for key frames off

struct TEncoderDelete {
  void operator()(WebPAnimEncoder* encoder) const { WebPAnimEncoderDelete(encoder); }
};

class TWebpAnimation final : public TAlphaWriter {
 public:
  explicit TWebpAnimation(const TAlphaSave& save) : Save(save) {
    WebPPictureInit(&Frame);
    WebPDataInit(&Assembled);
  }
  ~TWebpAnimation() override {
    WebPPictureFree(&Frame);
    WebPDataClear(&Assembled);
  }

  bool Start(QString& error) {
    WebPAnimEncoderOptions options;
    if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&Config)) return Fail(EncoderVersion(), error);
    options.anim_params.loop_count = WebpLoopCount(Save.GifLoops);
    options.anim_params.bgcolor = 0;  // a page shows through, as it does through a GIF
    options.kmax = kNoKeyFrames;
    options.kmin = kNoKeyFrames - 1;
    options.allow_mixed = 0;
    Config.lossless = 1;
    Config.quality = kQuality;
    Config.method = kMethod;
    // No gain measured with libwebp 1.2's lossless at this method (the bench);
    // kept for the versions whose lossless encoder uses threads.
    Config.thread_level = 1;
    if (!WebPValidateConfig(&Config)) return Fail(EncoderVersion(), error);
    Frame.width = Save.Width;
    Frame.height = Save.Height;
    Frame.use_argb = 1;
    // The size was checked first: failing here is failing to allocate.
    Encoder.reset(WebPAnimEncoderNew(Save.Width, Save.Height, &options));
    if (!Encoder || !WebPPictureAlloc(&Frame)) return Fail(SystemErrorText(ENOMEM), error);
    return true;
  }

  bool Add(const TPixel* pixels, int delay, QString& error) override {
    if (!Encoder || Broken) return Fail(EncoderFailed(QStringLiteral("the file is finished or failed")), error);
    // Transparent pixels all alike, whatever colour they were given: the
    // encoder compares whole words to find what changed.
    for (int y = 0; y < Save.Height; ++y) {
      const TPixel* from = pixels + size_t(y) * Save.Width;
      std::transform(from, from + Save.Width, Frame.argb + size_t(y) * Frame.argb_stride,
                     [](TPixel p) { return p >> 24 ? p : TPixel(0); });
    }
    Broken = !WebPAnimEncoderAdd(Encoder.get(), &Frame, int(Timestamp), &Config);
    if (Broken)
      return Fail(WebpFailureReason(Frame.error_code, WebPAnimEncoderGetError(Encoder.get())), error);
    // Milliseconds since the start wrap past 2^31 in a long animation; the
    // encoder takes each frame's time as the unsigned difference.
    Timestamp += uint32_t(ShownMilliseconds(delay));
    ++Added;
    return true;
  }

  bool Finish(QString& error) override {
    if (!Encoder || Broken) return Fail(EncoderFailed(QStringLiteral("the file is finished or failed")), error);
    // An animation cut short is a damaged file: never written.
    if (Added < Save.FrameCount) return Fail(FramesMissing(Added, Save.FrameCount), error);
    if (!WebPAnimEncoderAdd(Encoder.get(), nullptr, int(Timestamp), nullptr) ||
        !WebPAnimEncoderAssemble(Encoder.get(), &Assembled)) {
      WebPDataClear(&Assembled);
      return Fail(WebpFailureReason(VP8_ENC_OK, WebPAnimEncoderGetError(Encoder.get())), error);
    }
    Encoder.reset();  // its frames are in Assembled now
    return true;
  }

  bool WriteTo(int fd) const override {
    return WriteAllTo(fd, QByteArray::fromRawData(reinterpret_cast<const char*>(Assembled.bytes), qsizetype(Assembled.size)));
  }

 private:
  static QString EncoderVersion() {
    return EncoderFailed(QStringLiteral("libwebp %1").arg(WebPGetEncoderVersion(), 6, 16, QLatin1Char('0')));
  }
  bool Fail(const QString& reason, QString& error) const {
    error = SaveFailure(Save.Target, reason);
    return false;
  }

  TAlphaSave Save;
  WebPConfig Config;
  WebPPicture Frame;  // one canvas, reused for every frame
  WebPData Assembled;  // the file, once finished
  std::unique_ptr<WebPAnimEncoder, TEncoderDelete> Encoder;
  uint32_t Timestamp = 0;
  size_t Added = 0;
  bool Broken = false;  // a frame failed: the encoder's state is not to be assembled
};

}  // namespace

int ShownMilliseconds(int delay) { return delay <= 1 ? 100 : std::min(delay, 0xFFFF) * 10; }

int WebpLoopCount(const std::optional<uint16_t>& gifLoops) {
  if (!gifLoops) return 1;
  if (*gifLoops == 0) return 0;
  return std::min(int(*gifLoops) + 1, 65535);
}

std::unique_ptr<TAlphaWriter> NewWebpAnimation(const TAlphaSave& save, QString& error) {
  auto writer = std::make_unique<TWebpAnimation>(save);
  if (!writer->Start(error)) return nullptr;
  return writer;
}
