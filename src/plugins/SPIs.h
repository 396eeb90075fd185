#pragma once
// The plug-in manager: finds *.spi files, loads them, keeps them for the life
// of the program in one ordered list, and registers the extensions of the
// picture plug-ins with the picture-format registry.
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "plugins/PictureFormats.h"
#include "plugins/SPI.h"

// "TSPIs は複数生成できません": only one manager per process.
class ESPIDupCreateSPIs : public Exception {
 public:
  ESPIDupCreateSPIs();
};

enum TSPISearchOption { spsSusieDir, spsAppDir, spsCurrentDir, spsSystemDir, spsWindowsDir };
using TSPISearchOptions = std::set<TSPISearchOption>;

class TSPIs;
using TSPISearchingEvent = std::function<void(TSPIs* sender, const QString& fileName, bool& accept)>;
using TSPISearchEvent = std::function<void(TSPIs* sender, TSPI* spi, bool& accept)>;
using TSPIPictureRegisterEvent = std::function<void(TSPIs* sender, TInSPI* spi, const QString& extension,
                                                    const QString& description, const TGraphicClass*& graphicClass)>;

class TSPIs : public QObject {
  Q_OBJECT
 public:
  // Raises ESPIDupCreateSPIs when a manager exists already.
  explicit TSPIs(QObject* owner = nullptr);
  ~TSPIs() override;

  // The registered manager, and the class plug-in extensions are registered with.
  static TSPIs* SPIsInstance;
  static const TGraphicClass* GraphicClass;

  bool AutoSearch = true;
  TSPISearchOptions SearchOptions{spsSusieDir, spsAppDir};
  // The program directory for spsAppDir; empty means the executable's own.
  QString AppDir;
  TSPISearchingEvent OnSearching;
  TSPISearchEvent OnSearch;
  TSPIPictureRegisterEvent OnPictureRegister;

  // The owner's set-up is complete: searches for "*.spi" when AutoSearch is on.
  void Loaded();

  int Count() const { return static_cast<int>(List.size()); }
  TSPI* Items(int index) const { return List.at(index).get(); }
  void Add(std::unique_ptr<TSPI> spi) { Insert(Count(), std::move(spi)); }
  void Insert(int index, std::unique_ptr<TSPI> spi);
  void Delete(int index);
  void Clear();
  int IndexOf(const QString& fileName) const;

  // A mask with a directory scans that directory only; otherwise the
  // directories of SearchOptions in their fixed order. A file that does not
  // load, lacks an export or answers without end is passed over and listed
  // in Skipped; the search goes on.
  void Search(const QString& mask);
  // Why each file of the last search was passed over, one message a file.
  QStringList Skipped;
  // The directories of SearchOptions in their fixed order (Susie directory,
  // program directory, current directory, installed plug-in directory),
  // absolute, each once, those that are not set left out.
  QStringList SearchDirs() const;
  void ScanDir(const QString& directory, const QString& mask);
  // The plug-ins of the given classes, those declaring the file's extension
  // first (in reverse list order), then the others in list order.
  std::vector<TSPI*> FindPlugins(const std::vector<TSPIClass>& classes, const QString& fileName) const;

 private:
  void RegisterPictureFormats(TInSPI* spi);
  std::vector<std::unique_ptr<TSPI>> List;
};

// The Susie plug-in directory: the "Path=" line of
// $XDG_CONFIG_HOME/Tenkoku/Susie/Plug-in.ini (default ~/.config); empty if none.
QString SusiePluginDir();

// Where spsSystemDir looks: the installed plug-in directory, relative to the
// program directory.
QString SystemPluginDir(const QString& appDir);

// "" stays ""; otherwise a "/" is appended unless the path ends in one.
QString AddSlash(const QString& path);
