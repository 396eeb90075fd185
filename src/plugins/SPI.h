#pragma once
// One object per loaded plug-in library. The class of the object is the kind
// of the plug-in, chosen from the API version the plug-in reports.
#include <QString>
#include <QStringList>
#include <memory>

#include "document/Exception.h"
#include "plugins/SusiePlugin.h"

// "%s:Susie Pluginがロードできませんでした": the file could not be loaded.
class ESPIFOpenErrorSPI : public Exception {
 public:
  explicit ESPIFOpenErrorSPI(const QString& fileName);
};

// "%sは[%s]では使えないSusie Plugin APIです": an export the kind needs is missing.
class ESPIInvalidAPI : public Exception {
 public:
  ESPIInvalidAPI(const QString& apiName, const QString& fileName);
};

// "%s:Susie Pluginの情報が多すぎます": the plug-in answers more filters than any
// real one has (it may never stop answering).
class ESPIInfoOverflow : public Exception {
 public:
  explicit ESPIInfoOverflow(const QString& fileName);
};

// The kinds, for asking an object what it is (FindPlugins).
enum class TSPIClass { SPI, LoaderSPI, InSPI, AmSPI, XnSPI };

class TSPI {
 public:
  // Loads the library and builds an object of class T for it; raises
  // ESPIFOpenErrorSPI, ESPIInvalidAPI. A failure releases the library again.
  template <class T>
  static std::unique_ptr<T> Create(const QString& fileName) {
    std::unique_ptr<T> spi(new T);
    spi->Init(fileName);
    return spi;
  }
  virtual ~TSPI();
  TSPI(const TSPI&) = delete;
  TSPI& operator=(const TSPI&) = delete;

  // What a plug-in may write per information number, the buffer it really
  // gets, and how many filter pairs (and bytes of their text) are believed.
  static constexpr int kInfoLength = 255;
  static constexpr int kInfoSlack = 64 * 1024;
  static constexpr int kMaxFilterPairs = 256;
  static constexpr qsizetype kMaxFilterText = 64 * 1024;

  void* Handle = nullptr;
  QString FileName;
  QString APIVersion;
  QString PluginName;
  const QStringList& Filters() const { return FFilters; }
  const QStringList& Descriptions() const { return FDescriptions; }
  bool IsLoader = false;

  // The entry points; null where the library lacks the export.
  SusieGetPluginInfo FGetPluginInfo = nullptr;
  SusieConfigurationDlg FConfigurationDlg = nullptr;
  SusieIsSupported FIsSupported = nullptr;
  SusieGetPictureInfo FGetPictureInfo = nullptr;
  SusieGetPicture FGetPicture = nullptr;
  SusieGetPreview FGetPreview = nullptr;
  SusieGetArchiveInfo FGetArchiveInfo = nullptr;
  SusieGetFileInfo FGetFileInfo = nullptr;
  SusieGetFile FGetFile = nullptr;

  void* GetProc(const char* name) const;
  void RequireAPI(const void* entryPoint, const char* name) const;
  int GetPluginInfo(int infoNo, char* buf, int bufLen);

  virtual bool InheritsFrom(TSPIClass cls) const { return cls == TSPIClass::SPI; }

 protected:
  TSPI() = default;
  virtual void CheckAPI();
  virtual bool GetIsLoader() const { return false; }

 private:
  void Init(const QString& fileName);
  QString InfoText(int infoNo, bool* ok);
  QStringList FFilters;
  QStringList FDescriptions;
};

class TLoaderSPI : public TSPI {
  friend class TSPI;

 public:
  int IsSupported(const char* fileName, const void* head);
  bool InheritsFrom(TSPIClass cls) const override { return cls == TSPIClass::LoaderSPI || TSPI::InheritsFrom(cls); }

 protected:
  TLoaderSPI() = default;
  void CheckAPI() override;
};

class TInSPI : public TLoaderSPI {
  friend class TSPI;

 public:
  int GetPictureInfo(const char* buf, intptr_t len, unsigned flag, SusiePictureInfo* info);
  int GetPicture(const char* buf, intptr_t len, unsigned flag, SusieHandle* headerHandle, SusieHandle* bitsHandle,
                 SusieProgressCallback progress, intptr_t data);
  bool InheritsFrom(TSPIClass cls) const override { return cls == TSPIClass::InSPI || TLoaderSPI::InheritsFrom(cls); }

 protected:
  TInSPI() = default;
  void CheckAPI() override;
  bool GetIsLoader() const override { return true; }
};

class TAmSPI : public TLoaderSPI {
  friend class TSPI;

 public:
  bool InheritsFrom(TSPIClass cls) const override { return cls == TSPIClass::AmSPI || TLoaderSPI::InheritsFrom(cls); }

 protected:
  TAmSPI() = default;
  void CheckAPI() override;
  bool GetIsLoader() const override { return true; }
};

class TXnSPI : public TSPI {
  friend class TSPI;

 public:
  bool InheritsFrom(TSPIClass cls) const override { return cls == TSPIClass::XnSPI || TSPI::InheritsFrom(cls); }

 protected:
  TXnSPI() = default;
};

// An object of the right kind for the file, or null when the file cannot be
// loaded as a library. ESPIInvalidAPI and other failures reach the caller.
std::unique_ptr<TSPI> CreateSPI(const QString& fileName);
