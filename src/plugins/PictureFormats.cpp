#include "plugins/PictureFormats.h"

#include <QCoreApplication>

#include <QFileInfo>
#include <QImageReader>
#include <algorithm>

namespace {

class TNativeGraphic : public TGraphic {
 public:
  void LoadFromFile(const QString& fileName) override {
    QImageReader reader(fileName);
    QImage image;
    if (!reader.read(&image)) throw EInvalidGraphic(QCoreApplication::translate("PictureFormats", "認識できない画像形式です"));
    FImage = image;
  }
  const QImage& Image() const override { return FImage; }

 private:
  QImage FImage;
};

std::unique_ptr<TGraphic> CreateNativeGraphic() { return std::make_unique<TNativeGraphic>(); }

}  // namespace

void SetPictureAllocationLimit() { QImageReader::setAllocationLimit(kPictureAllocationMiB); }

const TGraphicClass NativeGraphicClass{"TBitmap", &CreateNativeGraphic};

TPictureFormats::TPictureFormats() {
  // No "gif": a GIF reaches the display only through a plug-in's entry.
  Register(QStringLiteral("ico"), QStringLiteral("Icon"), &NativeGraphicClass);
  Register(QStringLiteral("bmp"), QStringLiteral("Bitmaps"), &NativeGraphicClass);
  Register(QStringLiteral("jpeg"), QStringLiteral("JPEG Image File"), &NativeGraphicClass);
  Register(QStringLiteral("jpg"), QStringLiteral("JPEG Image File"), &NativeGraphicClass);
}

TPictureFormats& TPictureFormats::Instance() {
  static TPictureFormats formats;
  return formats;
}

void TPictureFormats::Register(const QString& ext, const QString& description, const TGraphicClass* cls) {
  Entries.push_back({ext.toLower(), description, cls});
}

void TPictureFormats::UnregisterClass(const TGraphicClass* cls) {
  Entries.erase(std::remove_if(Entries.begin(), Entries.end(), [cls](const Entry& e) { return e.Class == cls; }),
                Entries.end());
}

const TPictureFormats::Entry* TPictureFormats::FindEntry(const QString& ext) const {
  const QString key = ext.toLower();
  for (auto it = Entries.rbegin(); it != Entries.rend(); ++it)
    if (it->Ext == key) return &*it;
  return nullptr;
}

const TGraphicClass* TPictureFormats::Find(const QString& ext) const {
  const Entry* e = FindEntry(ext);
  return e ? e->Class : nullptr;
}

QString TPictureFormats::Description(const QString& ext) const {
  const Entry* e = FindEntry(ext);
  return e ? e->Description : QString();
}

void TPicture::LoadFromFile(const QString& fileName) {
  const QString ext = QFileInfo(fileName).suffix();
  const TGraphicClass* cls = TPictureFormats::Instance().Find(ext);
  if (!cls) throw EInvalidGraphic(QCoreApplication::translate("PictureFormats", "拡張子 .%1 の画像形式は処理できません").arg(ext));
  std::unique_ptr<TGraphic> graphic = cls->Create();
  graphic->OnProgress = OnProgress;
  graphic->LoadFromFile(fileName);
  FGraphic = std::move(graphic);
  if (OnChange) OnChange();
}
