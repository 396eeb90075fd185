// The plug-in manager: where it looks, what it loads, what it registers.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

#include "PluginTestFiles.h"
#include "document/AppPaths.h"
#include "plugins/PluginListing.h"
#include "plugins/SPIBmp.h"
#include "plugins/SPIs.h"

namespace {

class SPIsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    AppDir = Root.path() + "/app";
    QDir().mkpath(AppDir);
  }
  void TearDown() override { TPictureFormats::Instance().UnregisterClass(&TSPIBitmap::Class); }

  QStringList Names(const TSPIs& spis) const {
    QStringList names;
    for (int i = 0; i < spis.Count(); ++i) names << QFileInfo(spis.Items(i)->FileName).fileName();
    return names;
  }

  TScopedConfig Config;
  QTemporaryDir Root;
  QString AppDir;
};

}  // namespace

TEST_F(SPIsTest, OnlyOneManagerAtATime) {
  {
    TSPIs first;
    EXPECT_EQ(TSPIs::SPIsInstance, &first);
    try {
      TSPIs second;
      FAIL() << "no error";
    } catch (const ESPIDupCreateSPIs& e) {
      EXPECT_EQ(e.message(), "TSPIs は複数生成できません");
    }
    EXPECT_EQ(TSPIs::SPIsInstance, &first);
  }
  EXPECT_EQ(TSPIs::SPIsInstance, nullptr);
  TSPIs again;  // the slot is free once the first is gone
}

TEST_F(SPIsTest, SusieDirectoryFirstThenProgramDirectoryOnlySpiFiles) {
  const QString susie = Root.path() + "/susie";
  QDir().mkpath(susie + "/sub.spi");
  CopySpi("tp_c", susie);
  CopySpi("tp_a", AppDir);
  CopySpi("tp_b", AppDir);
  CopySpi("tp_xn", AppDir, "notes.txt");
  CopySpi("tp_xn", AppDir, ".hidden.spi");
  Config.SetSusieDir(susie);

  TSPIs spis;
  spis.AppDir = AppDir;
  spis.Loaded();
  EXPECT_EQ(Names(spis), (QStringList{"tp_c.spi", "tp_a.spi", "tp_b.spi"}));
  EXPECT_EQ(spis.Items(0)->FileName, susie + "/tp_c.spi");
  EXPECT_EQ(PluginListingText(spis), "Test C\r\nTest A\r\nTest B");
}

// Installed, the shipped plug-in lives under lib/, found from the program
// directory; the user's Susie directory still comes first.
TEST_F(SPIsTest, InstalledPluginDirectoryComesAfterSusieAndProgramDirectories) {
  const QString bin = Root.path() + "/usr/bin";
  const QString installed = InstalledPluginDir(bin);
  const QString susie = Root.path() + "/susie";
  for (const QString& dir : {bin, installed, susie}) QDir().mkpath(dir);
  CopySpi("tp_a", installed);
  CopySpi("tp_b", bin);
  CopySpi("tp_c", susie);
  Config.SetSusieDir(susie);

  TSPIs spis;
  spis.AppDir = bin;
  spis.SearchOptions = {spsSystemDir, spsAppDir, spsSusieDir};
  EXPECT_EQ(spis.SearchDirs(), (QStringList{susie + "/", bin + "/", installed}));
  spis.Search("*.spi");
  EXPECT_EQ(Names(spis), (QStringList{"tp_c.spi", "tp_b.spi", "tp_a.spi"}));

  Config.SetSusieDir(installed + "../plugins");  // the same directory, spelled otherwise
  EXPECT_EQ(spis.SearchDirs(), (QStringList{installed, bin + "/"}));
}

TEST_F(SPIsTest, DirectoryNamedTwiceLoadsEachPluginOnce) {
  CopySpi("tp_a", AppDir);
  Config.SetSusieDir(AppDir);
  {
    TSPIs spis;
    spis.AppDir = AppDir;
    spis.Search("*.spi");
    EXPECT_EQ(Names(spis), QStringList{"tp_a.spi"});
  }
  // Names are compared without regard to letter case, so the same plug-in
  // under a directory spelled in other letters is not loaded again either.
  const QString upper = Root.path() + "/APP";
  QDir().mkpath(upper);
  CopySpi("tp_a", upper);
  Config.SetSusieDir(upper);
  TSPIs spis;
  spis.AppDir = AppDir;
  spis.Search("*.spi");
  EXPECT_EQ(spis.Count(), 1);
  EXPECT_EQ(spis.IndexOf(AppDir + "/TP_A.SPI"), 0);
}

TEST_F(SPIsTest, MissingConfigurationAndEmptyPathSkipTheSusieDirectory) {
  CopySpi("tp_a", AppDir);
  TSPIs spis;
  spis.AppDir = AppDir;
  spis.Search("*.spi");  // no Plug-in.ini at all
  EXPECT_EQ(spis.Count(), 1);
  Config.SetSusieDir("");
  EXPECT_EQ(SusiePluginDir(), "");
}

TEST_F(SPIsTest, MaskWithDirectorySearchesOnlyThere) {
  const QString other = Root.path() + "/other";
  QDir().mkpath(other);
  CopySpi("tp_a", AppDir);
  CopySpi("tp_b", other);
  TSPIs spis;
  spis.AppDir = AppDir;
  spis.Search(other + "/*.spi");
  EXPECT_EQ(Names(spis), QStringList{"tp_b.spi"});

  // The same directory named relatively finds nothing new.
  const QString saved = QDir::currentPath();
  QDir::setCurrent(Root.path());
  spis.Search("other/*.spi");
  QDir::setCurrent(saved);
  EXPECT_EQ(spis.Count(), 1);
}

TEST_F(SPIsTest, RefusedFileIsNotLoadedAndOfferedAgain) {
  CopySpi("tp_a", AppDir);
  CopySpi("tp_b", AppDir);
  TSPIs spis;
  spis.AppDir = AppDir;
  QStringList offered;
  spis.OnSearching = [&](TSPIs*, const QString& path, bool& accept) {
    offered << QFileInfo(path).fileName();
    accept = !path.endsWith("tp_a.spi");
  };
  spis.OnSearch = [](TSPIs*, TSPI* spi, bool& accept) { accept = spi->PluginName != "Test B"; };
  spis.Search("*.spi");
  EXPECT_EQ(spis.Count(), 0);
  spis.OnSearching = nullptr;
  spis.OnSearch = nullptr;
  spis.Search("*.spi");
  EXPECT_EQ(offered, (QStringList{"tp_a.spi", "tp_b.spi"}));
  EXPECT_EQ(Names(spis), (QStringList{"tp_a.spi", "tp_b.spi"}));
}

TEST_F(SPIsTest, FailureWhileAddingDropsThatPluginOnly) {
  CopySpi("tp_a", AppDir);
  CopySpi("tp_b", AppDir);
  CopySpi("tp_c", AppDir);
  TSPIs spis;
  spis.AppDir = AppDir;
  spis.OnSearch = [](TSPIs*, TSPI* spi, bool&) {
    if (spi->PluginName == "Test A") throw std::runtime_error("refused");
  };
  spis.OnPictureRegister = [](TSPIs*, TInSPI* spi, const QString&, const QString&, const TGraphicClass*&) {
    if (spi->PluginName == "Test B") throw std::runtime_error("refused");
  };
  spis.Search("*.spi");
  EXPECT_EQ(Names(spis), QStringList{"tp_c.spi"});
}

TEST_F(SPIsTest, UnusableFilesArePassedOverAndNamedOnce) {
  CopySpi("tp_a", AppDir, "1.spi");
  CopySpi("tp_noinfo", AppDir, "2.spi");
  CopySpi("tp_endless", AppDir, "3.spi");
  QFile junk(AppDir + "/4.spi");
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a library");
  junk.close();
  CopySpi("tp_b", AppDir, "5.spi");
  TSPIs spis;
  spis.AppDir = AppDir;
  spis.Loaded();
  EXPECT_EQ(Names(spis), (QStringList{"1.spi", "5.spi"}));
  EXPECT_EQ(SkippedPluginsText(spis),
            "次のSusie Pluginは使えないため読み込みませんでした。\r\n\r\n"
            "GetPluginInfoは[" + AppDir + "/2.spi]では使えないSusie Plugin APIです\r\n" +
            AppDir + "/3.spi:Susie Pluginの情報が多すぎます\r\n" +
            AppDir + "/4.spi:Susie Pluginがロードできませんでした");
  spis.Clear();
  spis.Search(AppDir + "/1.spi");  // a new search reports only its own
  EXPECT_TRUE(SkippedPluginsText(spis).isEmpty());
}

TEST_F(SPIsTest, NonPictureKindsAreListedButRegisterNothing) {
  CopySpi("tp_am", AppDir);
  CopySpi("tp_xn", AppDir);
  CopySpi("tp_lower", AppDir);
  TSPIs spis;
  spis.AppDir = AppDir;
  spis.Search("*.spi");
  EXPECT_EQ(PluginListingText(spis), "Archive\r\nLower\r\nThird kind");
  for (const char* ext : {"arc", "xnx", "low"}) EXPECT_EQ(TPictureFormats::Instance().Find(ext), nullptr) << ext;
}

TEST_F(SPIsTest, EachPatternOfAFilterIsRegisteredWithItsDescription) {
  TSPIs spis;
  QStringList seen;
  spis.OnPictureRegister = [&](TSPIs*, TInSPI*, const QString& ext, const QString& description,
                               const TGraphicClass*& cls) {
    seen << ext + "=" + description;
    if (ext == "tsb") cls = nullptr;  // refuse this one
  };
  spis.Add(CreateSPI(TestSpi("tp_b")));
  EXPECT_EQ(seen, (QStringList{"aaa=Three", "bbb=Three", "ccc=Three", "tsb=Test B pictures"}));
  const TPictureFormats& formats = TPictureFormats::Instance();
  for (const char* ext : {"aaa", "BBB", "ccc"}) {
    EXPECT_EQ(formats.Find(ext), &TSPIBitmap::Class) << ext;
    EXPECT_EQ(formats.Description(ext), "Three");
  }
  EXPECT_EQ(formats.Find("tsb"), nullptr);
  // Deleting the plug-in leaves its registrations.
  spis.Delete(0);
  EXPECT_EQ(formats.Find("aaa"), &TSPIBitmap::Class);
}

TEST_F(SPIsTest, FindPluginsPutsDeclaringPluginsFirstInReverseOrder) {
  TSPIs spis;
  spis.Add(CreateSPI(TestSpi("tp_a")));  // *.tsa
  spis.Add(CreateSPI(TestSpi("tp_b")));  // *.tsb
  spis.Add(CreateSPI(TestSpi("tp_xn")));
  spis.Add(CreateSPI(TestSpi("tp_c")));  // *.TSB
  auto names = [](const std::vector<TSPI*>& list) {
    QStringList out;
    for (TSPI* spi : list) out << spi->PluginName;
    return out;
  };
  EXPECT_EQ(names(spis.FindPlugins({TSPIClass::InSPI}, "/x/y.tsb")), (QStringList{"Test C", "Test B", "Test A"}));
  EXPECT_EQ(names(spis.FindPlugins({TSPIClass::InSPI}, "noext")), (QStringList{"Test A", "Test B", "Test C"}));
  EXPECT_EQ(names(spis.FindPlugins({TSPIClass::XnSPI, TSPIClass::InSPI}, ".TSA")),
            (QStringList{"Test A", "Test B", "Third kind", "Test C"}));
  // A "." in a directory name is not an extension.
  EXPECT_EQ(names(spis.FindPlugins({TSPIClass::InSPI}, "/d.tsb/file")), (QStringList{"Test A", "Test B", "Test C"}));
}

TEST_F(SPIsTest, ListingOfNoPluginsIsEmpty) {
  TSPIs spis;
  EXPECT_EQ(PluginListingText(spis), "");
}
