// The whole open road short of widgets: FileOpen with a recording view reads
// the file (a GIF, or a BMP through the reduction road), validates it, writes
// the preview copy, then the save patches a copy and writes it. Whatever the
// file, the road either opens it consistently or says why and changes nothing.
#include <QFile>

#include "FuzzViews.h"
#include "choice/Choice.h"
#include "document/FileOpen.h"
#include "document/FileOps.h"
#include "reduce/BmpToGif.h"

namespace {

class TRecordingView : public TOpenView, public TChoiceView {
 public:
  TRecordingView(const TAppPaths& paths, uint8_t choice) : Paths(paths), Choice(choice) {}
  const TAppPaths& Paths;
  uint8_t Choice;
  int MenuLevel = 0;
  QStringList Messages;
  int Previews = 0, Pictures = 0;
  uint8_t ReduceBits = 8;

  void SetMsg(int index, const QString&) override { FUZZ_CHECK(index >= 0 && index < 9); }
  void SetMenu(int level) override { MenuLevel = level; }
  void SetCaption(const QString&) override {}
  void ShowMessage(const QString& text) override { Messages << text; }
  void AddRecentFile(const QString&) override {}
  bool ConvertBMP(const QString& path) override {
    int64_t width, height;
    BmpClaimedSize(LoadStringFromFile(path), width, height);
    if (width * height > kMaxRoadPixels) return false;
    TFuzzBmpView bmpView(Choice);
    const bool done = ConvertBMPFile(path, Paths, bmpView, ReduceBits);
    if (!done && !(bmpView.Asked && bmpView.Messages.isEmpty())) FUZZ_CHECK(!bmpView.Messages.isEmpty());
    return done;
  }
  void SizeImageView(int width, int height) override { FUZZ_CHECK(width >= 0 && height >= 0); }
  void ShowPalette(const TGifDocument& doc, std::optional<int> index) override {
    if (index) FUZZ_CHECK(*index >= 0 && *index < 256 && doc.LoadedTransparent);
  }
  void SetTransChecked(bool) override {}
  void SetDefaultSwatch(std::optional<TColor>) override {}
  void ShowPaletteIfSync() override {}
  bool DecodePicture(const QString& path, QString& whyNot) override {
    // The window decodes with the shipped plug-in; the input decides whether
    // a picture too large for a quick run counts as shown.
    const QByteArray bytes = LoadStringFromFile(path);
    SusiePictureInfo info{};
    whyNot = QStringLiteral("no picture");
    if (GetPictureInfo(bytes.constData(), bytes.size(), SUSIE_INPUT_MEMORY, &info) != 0) return false;
    if (int64_t(info.width) * info.height > kMaxRoadPixels) return Choice & 4;
    SusieHandle header = 0, bits = 0;
    if (GetPicture(bytes.constData(), bytes.size(), SUSIE_INPUT_MEMORY, &header, &bits, nullptr, 0) != 0) return false;
    LocalFree(header);
    LocalFree(bits);
    return true;
  }
  void ShowDecodedPicture() override { ++Pictures; }
  void Preview() override { ++Previews; }
  void ShowPickedColor(TColor, const QString&) override {}
  bool RealTimePreview() const override { return false; }
  bool TransparencyChecked() const override { return Choice & 1; }
  bool AllFrames() const override { return Choice & 2; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t choice = data[0];
  const QByteArray content = Bytes(data + 1, size - 1);
  TAppPaths paths;
  paths.AppDir = ScratchDir();
  paths.DataDir = paths.AppDir + QStringLiteral("data/");
  QDir(paths.DataDir).removeRecursively();
  const QString name = paths.AppDir + ((choice & 0x80) ? QStringLiteral("in.BMP") : QStringLiteral("in.gif"));
  QFile::remove(paths.AppDir + QStringLiteral("in.BMP"));
  QFile::remove(paths.AppDir + QStringLiteral("in.gif"));
  SaveStringToFile(name, content);

  // The window keeps one document: what an open leaves must not depend on
  // the file that was open before.
  TGifDocument doc;
  doc.PaletteColors.fill(RGBColor(0x12, 0x34, 0x56));
  TRecordingView view(paths, choice);
  FileOpen(doc, paths, view, name);

  const bool opened = view.MenuLevel == 1;
  FUZZ_CHECK(opened == (view.Previews == 1));
  FUZZ_CHECK(opened == (view.Pictures == 1));
  if (!opened) {
    // Refused: nothing of the document changed, no preview copy was made.
    FUZZ_CHECK(doc.GifData.isEmpty() && doc.OpenedFileName.isEmpty());
    FUZZ_CHECK(doc.PaletteColors[255] == RGBColor(0x12, 0x34, 0x56));
    FUZZ_CHECK(!QFile::exists(paths.Data(QStringLiteral("_.gif"))));
    return 0;
  }
  // An open that succeeds says nothing, but that the frames are damaged from
  // some frame on when they are.
  const TFramePatchResult frames = CountFrames(doc.GifData);
  if (frames.Damaged)
    FUZZ_CHECK(view.Messages == QStringList{DamagedFramesMessage(name, frames.Frames + 1)});
  else
    FUZZ_CHECK(view.Messages.isEmpty());
  FUZZ_CHECK(doc.OpenedFileName == name);
  for (int i = doc.ColorCount; i < 256; ++i) FUZZ_CHECK(doc.PaletteColors[size_t(i)] == 0);
  const QString opened_file = (choice & 0x80) ? paths.Data(QStringLiteral("temp.gif")) : name;
  const QByteArray onDisk = LoadStringFromFile(opened_file);
  FUZZ_CHECK(LoadStringFromFile(paths.Data(QStringLiteral("_.gif"))) == onDisk);
  if (!(choice & 0x80)) FUZZ_CHECK(onDisk == content);

  // The save users run: the choice written into every frame, and read back.
  const QByteArray before = doc.GifData;
  SetTransparency(doc, paths, view, choice & 1);
  doc.TransparentIndex = uint8_t(choice * 37);
  const QString savedName = paths.Data(QStringLiteral("saved.gif"));
  SaveChoice(doc, view, savedName);
  FUZZ_CHECK(doc.GifData == before);
  const QByteArray saved = LoadStringFromFile(savedName);
  TGifDocument reread;
  FUZZ_CHECK(reread.ReadGifHeader(saved));
  FUZZ_CHECK(reread.LoadedTransparent == doc.TransparentOn);
  if (doc.TransparentOn) FUZZ_CHECK(reread.TransparentIndex == doc.TransparentIndex);
  FUZZ_CHECK(reread.GifData == saved);
  return 0;
}
