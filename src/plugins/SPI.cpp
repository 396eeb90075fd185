#include "plugins/SPI.h"

#include <QCoreApplication>

#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>
#include <link.h>

#include <vector>

ESPIFOpenErrorSPI::ESPIFOpenErrorSPI(const QString& fileName)
    : Exception(QCoreApplication::translate("SPI", "%1:Susie Pluginがロードできませんでした").arg(fileName)) {}

ESPIInvalidAPI::ESPIInvalidAPI(const QString& apiName, const QString& fileName)
    : Exception(QCoreApplication::translate("SPI", "%1は[%2]では使えないSusie Plugin APIです").arg(apiName, fileName)) {}

ESPIInfoOverflow::ESPIInfoOverflow(const QString& fileName)
    : Exception(QCoreApplication::translate("SPI", "%1:Susie Pluginの情報が多すぎます").arg(fileName)) {}

namespace {

// The path the loader keeps for the object; empty when it reports none.
QString LoadedPath(void* handle) {
  link_map* map = nullptr;
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name || !*map->l_name) return QString();
  return QFile::decodeName(QByteArray(map->l_name));
}

template <typename F>
F Bind(const TSPI& spi, const char* name) {
  return reinterpret_cast<F>(spi.GetProc(name));
}

}  // namespace

TSPI::~TSPI() {
  if (Handle) dlclose(Handle);
}

void TSPI::Init(const QString& fileName) {
  // Always by path: a bare name would send dlopen through the library search path.
  const QString path = fileName.isEmpty() ? fileName : QFileInfo(fileName).absoluteFilePath();
  Handle = path.isEmpty() ? nullptr : dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
  if (!Handle) throw ESPIFOpenErrorSPI(fileName);
  FileName = LoadedPath(Handle);
  if (FileName.isEmpty()) FileName = fileName;

  FGetPluginInfo = Bind<SusieGetPluginInfo>(*this, "GetPluginInfo");
  FConfigurationDlg = Bind<SusieConfigurationDlg>(*this, "ConfigurationDlg");
  FIsSupported = Bind<SusieIsSupported>(*this, "IsSupported");
  FGetPictureInfo = Bind<SusieGetPictureInfo>(*this, "GetPictureInfo");
  FGetPicture = Bind<SusieGetPicture>(*this, "GetPicture");
  FGetPreview = Bind<SusieGetPreview>(*this, "GetPreview");
  FGetArchiveInfo = Bind<SusieGetArchiveInfo>(*this, "GetArchiveInfo");
  FGetFileInfo = Bind<SusieGetFileInfo>(*this, "GetFileInfo");
  FGetFile = Bind<SusieGetFile>(*this, "GetFile");

  CheckAPI();

  bool ok = false;
  const QString version = InfoText(0, &ok);
  if (ok) APIVersion = version;
  const QString name = InfoText(1, &ok);
  if (ok) PluginName = name;

  // A plug-in that never stops answering would make start-up allocate
  // without end: past the bound it is no plug-in this host can use.
  qsizetype textBytes = 0;
  for (int k = 2;; k += 2) {
    bool filterOk = false, descriptionOk = false;
    const QString filter = InfoText(k, &filterOk);
    if (!filterOk) break;
    const QString description = InfoText(k + 1, &descriptionOk);
    if (!descriptionOk) break;
    textBytes += filter.size() + description.size();
    if (FFilters.size() >= kMaxFilterPairs || textBytes > kMaxFilterText) throw ESPIInfoOverflow(FileName);
    FFilters.append(filter);
    FDescriptions.append(description);
  }
  IsLoader = GetIsLoader();
}

QString TSPI::InfoText(int infoNo, bool* ok) {
  // The plug-in may fill 255 bytes; one that writes past them lands in
  // the slack, and only the allowed length is read back.
  std::vector<char> buf(kInfoSlack, '\0');
  *ok = GetPluginInfo(infoNo, buf.data(), kInfoLength) > 0;
  if (!*ok) return QString();
  return QString::fromUtf8(buf.data(), static_cast<qsizetype>(strnlen(buf.data(), kInfoLength)));
}

void* TSPI::GetProc(const char* name) const { return Handle ? dlsym(Handle, name) : nullptr; }

void TSPI::RequireAPI(const void* entryPoint, const char* name) const {
  if (!entryPoint) throw ESPIInvalidAPI(QString::fromLatin1(name), FileName);
}

void TSPI::CheckAPI() { RequireAPI(reinterpret_cast<const void*>(FGetPluginInfo), "GetPluginInfo"); }

int TSPI::GetPluginInfo(int infoNo, char* buf, int bufLen) {
  RequireAPI(reinterpret_cast<const void*>(FGetPluginInfo), "GetPluginInfo");
  return FGetPluginInfo(infoNo, buf, bufLen);
}

void TLoaderSPI::CheckAPI() {
  TSPI::CheckAPI();
  RequireAPI(reinterpret_cast<const void*>(FIsSupported), "IsSupported");
}

int TLoaderSPI::IsSupported(const char* fileName, const void* head) {
  RequireAPI(reinterpret_cast<const void*>(FIsSupported), "IsSupported");
  return FIsSupported(fileName, head);
}

void TInSPI::CheckAPI() {
  TLoaderSPI::CheckAPI();
  RequireAPI(reinterpret_cast<const void*>(FGetPictureInfo), "GetPictureInfo");
  RequireAPI(reinterpret_cast<const void*>(FGetPicture), "GetPicture");
}

int TInSPI::GetPictureInfo(const char* buf, intptr_t len, unsigned flag, SusiePictureInfo* info) {
  RequireAPI(reinterpret_cast<const void*>(FGetPictureInfo), "GetPictureInfo");
  return FGetPictureInfo(buf, len, flag, info);
}

int TInSPI::GetPicture(const char* buf, intptr_t len, unsigned flag, SusieHandle* headerHandle,
                       SusieHandle* bitsHandle, SusieProgressCallback progress, intptr_t data) {
  RequireAPI(reinterpret_cast<const void*>(FGetPicture), "GetPicture");
  return FGetPicture(buf, len, flag, headerHandle, bitsHandle, progress, data);
}

void TAmSPI::CheckAPI() {
  TLoaderSPI::CheckAPI();
  RequireAPI(reinterpret_cast<const void*>(FGetArchiveInfo), "GetArchiveInfo");
  RequireAPI(reinterpret_cast<const void*>(FGetFileInfo), "GetFileInfo");
  RequireAPI(reinterpret_cast<const void*>(FGetFile), "GetFile");
}

std::unique_ptr<TSPI> CreateSPI(const QString& fileName) {
  try {
    // The probe checks only GetPluginInfo; its API version picks the class.
    // The second load of the same file shares the probe's copy.
    const std::unique_ptr<TSPI> probe = TSPI::Create<TSPI>(fileName);
    const QString& version = probe->APIVersion;
    if (version == QLatin1String("00IN")) return TSPI::Create<TInSPI>(fileName);
    if (version == QLatin1String("00AM")) return TSPI::Create<TAmSPI>(fileName);
    if (version == QLatin1String("00XN")) return TSPI::Create<TXnSPI>(fileName);
    return TSPI::Create<TSPI>(fileName);
  } catch (const ESPIFOpenErrorSPI&) {
    return nullptr;
  }
}
