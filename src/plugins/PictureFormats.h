#pragma once
// The picture-format registry: which picture class loads a file of a given
// extension. Lookup ignores letter case and the newest registration wins, so
// a plug-in that declares an extension takes it over from the built-in entry.
#include <QImage>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "document/Exception.h"
#include "plugins/PictureLimits.h"

// "認識できない画像形式です" or "拡張子 .%s の画像形式は処理できません".
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// Qt's readers may allocate as much as the largest picture needs; called
// once at start-up, before any picture is read.
void SetPictureAllocationLimit();

// A readable picture that is more than the program can hold, named by its size.
class EPictureTooLarge : public EInvalidGraphic {
 public:
  EPictureTooLarge(int64_t width, int64_t height) : EInvalidGraphic(PictureTooLargeMessage(width, height)) {}
};

// The stages of a load, as a picture reports them while it decodes.
enum class TProgressStage { psStarting, psRunning, psEnding };
class TGraphic;
using TProgressEvent = std::function<void(TGraphic& sender, TProgressStage stage, int percent, bool redrawNow,
                                          const QRect& rect, const QString& message)>;

// A decoded picture of one class.
class TGraphic {
 public:
  virtual ~TGraphic() = default;
  virtual void LoadFromFile(const QString& fileName) = 0;
  virtual const QImage& Image() const = 0;
  TProgressEvent OnProgress;
};

// A picture class: what the registry hands out for an extension.
struct TGraphicClass {
  const char* Name;
  std::unique_ptr<TGraphic> (*Create)();
};

// The built-in decoders (BMP, icons, JPEG) through Qt's image readers.
extern const TGraphicClass NativeGraphicClass;

class TPictureFormats {
 public:
  // The process-wide registry, holding the built-in entries from the start.
  static TPictureFormats& Instance();

  // ext without its dot, e.g. "gif".
  void Register(const QString& ext, const QString& description, const TGraphicClass* cls);
  void UnregisterClass(const TGraphicClass* cls);
  const TGraphicClass* Find(const QString& ext) const;
  QString Description(const QString& ext) const;

 private:
  TPictureFormats();
  struct Entry {
    QString Ext;
    QString Description;
    const TGraphicClass* Class;
  };
  const Entry* FindEntry(const QString& ext) const;
  std::vector<Entry> Entries;  // oldest first
};

// The picture of an image control: loads a file through the registry and
// keeps the graphic that decoded it.
class TPicture {
 public:
  // Raises EInvalidGraphic for an unregistered extension, and whatever the
  // picture class raises; the picture then keeps its previous graphic.
  void LoadFromFile(const QString& fileName);
  const TGraphic* Graphic() const { return FGraphic.get(); }
  QImage Image() const { return FGraphic ? FGraphic->Image() : QImage(); }
  TProgressEvent OnProgress;
  std::function<void()> OnChange;

 private:
  std::unique_ptr<TGraphic> FGraphic;
};
