#include "plugins/SPIs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include "document/AppPaths.h"

ESPIDupCreateSPIs::ESPIDupCreateSPIs() : Exception(QCoreApplication::translate("SPIs", "TSPIs は複数生成できません")) {}

TSPIs* TSPIs::SPIsInstance = nullptr;

QString AddSlash(const QString& path) {
  if (path.isEmpty() || path.endsWith(QLatin1Char('/'))) return path;
  return path + QLatin1Char('/');
}

QString SusiePluginDir() {
  QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
  QFile file(AddSlash(config) + QStringLiteral("Tenkoku/Susie/Plug-in.ini"));
  if (!file.open(QIODevice::ReadOnly)) return QString();
  // A settings file of a few lines; anything longer is not one of ours.
  const QByteArray text = file.read(64 * 1024);
  for (const QByteArray& raw : text.split('\n')) {
    const QByteArray line = raw.trimmed();
    if (line.size() > 5 && line.left(5).toLower() == "path=") return QFile::decodeName(line.mid(5).trimmed());
  }
  return QString();
}

QString SystemPluginDir(const QString& appDir) { return InstalledPluginDir(appDir); }

TSPIs::TSPIs(QObject* owner) : QObject(owner) {
  if (SPIsInstance) throw ESPIDupCreateSPIs();
  SPIsInstance = this;
}

TSPIs::~TSPIs() {
  if (SPIsInstance == this) SPIsInstance = nullptr;
  Clear();
}

void TSPIs::Loaded() {
  if (AutoSearch) Search(QStringLiteral("*.spi"));
}

void TSPIs::Insert(int index, std::unique_ptr<TSPI> spi) {
  TSPI* added = spi.get();
  List.insert(List.begin() + index, std::move(spi));
  if (added->InheritsFrom(TSPIClass::InSPI)) RegisterPictureFormats(static_cast<TInSPI*>(added));
}

void TSPIs::Delete(int index) { List.erase(List.begin() + index); }

void TSPIs::Clear() {
  while (Count() > 0) Delete(0);
}

int TSPIs::IndexOf(const QString& fileName) const {
  for (int i = 0; i < Count(); ++i)
    if (List[i]->FileName.compare(fileName, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

QStringList TSPIs::SearchDirs() const {
  const QString appDir = AppDir.isEmpty() ? QCoreApplication::applicationDirPath() : AppDir;
  QStringList dirs;
  if (SearchOptions.count(spsSusieDir)) dirs.append(SusiePluginDir());
  if (SearchOptions.count(spsAppDir)) dirs.append(appDir);
  if (SearchOptions.count(spsCurrentDir)) dirs.append(QDir::currentPath());
  if (SearchOptions.count(spsSystemDir)) dirs.append(SystemPluginDir(appDir));
  // spsWindowsDir: there is no such directory here.
  QStringList ordered;
  for (const QString& dir : dirs) {
    const QString absolute = dir.isEmpty() ? QString() : AddSlash(QDir::cleanPath(QDir(dir).absolutePath()));
    if (!absolute.isEmpty() && !ordered.contains(absolute)) ordered.append(absolute);
  }
  return ordered;
}

void TSPIs::Search(const QString& mask) {
  Skipped.clear();
  const int slash = mask.lastIndexOf(QLatin1Char('/'));
  if (slash >= 0) {
    ScanDir(AddSlash(mask.left(slash + 1)), mask.mid(slash + 1));
    return;
  }
  for (const QString& dir : SearchDirs()) ScanDir(dir, mask);
}

void TSPIs::ScanDir(const QString& directory, const QString& mask) {
  // Plug-ins are known by absolute path (TSPI::FileName), so a relative
  // directory is made absolute before its files are compared with them.
  const QString dir = AddSlash(QDir(directory).absolutePath());
  // Regular (and linked) files only; hidden files and directories are not offered.
  const QStringList names =
      QDir(dir).entryList(QStringList{mask}, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
  QStringList found;
  for (const QString& name : names)
    if (IndexOf(dir + name) < 0) found.append(dir + name);

  for (const QString& path : found) {
    bool accept = true;
    if (OnSearching) OnSearching(this, path, accept);
    if (!accept) continue;
    // One unusable file must not hide the plug-ins after it (the program's
    // own comes last): it is noted for one report and passed over.
    std::unique_ptr<TSPI> spi;
    try {
      spi = CreateSPI(path);
      if (!spi) throw ESPIFOpenErrorSPI(path);
    } catch (const std::exception& e) {
      const auto* known = dynamic_cast<const Exception*>(&e);
      Skipped.append(known ? known->message() : path);
      continue;
    }
    TSPI* raw = spi.get();
    try {
      accept = true;
      if (OnSearch) OnSearch(this, raw, accept);
      if (accept) Add(std::move(spi));
    } catch (...) {
      for (int i = 0; i < Count(); ++i)
        if (List[i].get() == raw) {
          Delete(i);
          break;
        }
    }
  }
}

void TSPIs::RegisterPictureFormats(TInSPI* spi) {
  TPictureFormats& formats = TPictureFormats::Instance();
  for (int i = 0; i < spi->Filters().size(); ++i) {
    const TGraphicClass* cls = GraphicClass;
    const QString& description = spi->Descriptions().at(i);
    for (const QString& item : spi->Filters().at(i).split(QLatin1Char(';'))) {
      const int dot = item.indexOf(QLatin1Char('.'));
      const QString extension = dot < 0 ? item : item.mid(dot + 1);
      if (OnPictureRegister) OnPictureRegister(this, spi, extension, description, cls);
      if (cls) formats.Register(extension, description, cls);
    }
  }
}

std::vector<TSPI*> TSPIs::FindPlugins(const std::vector<TSPIClass>& classes, const QString& fileName) const {
  const QString name = fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
  const int dot = name.lastIndexOf(QLatin1Char('.'));
  const QString ext = dot < 0 ? QString() : name.mid(dot);
  std::vector<TSPI*> result;
  for (const auto& spi : List) {
    bool wanted = false;
    for (TSPIClass cls : classes) wanted = wanted || spi->InheritsFrom(cls);
    if (!wanted) continue;
    bool declares = false;
    if (!ext.isEmpty())
      for (const QString& filter : spi->Filters()) {
        const int filterDot = filter.lastIndexOf(QLatin1Char('.'));
        if (filterDot >= 0 && filter.mid(filterDot).compare(ext, Qt::CaseInsensitive) == 0) declares = true;
      }
    if (declares)
      result.insert(result.begin(), spi.get());
    else
      result.push_back(spi.get());
  }
  return result;
}
