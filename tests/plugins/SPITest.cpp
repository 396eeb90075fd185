// The plug-in wrapper: loading, kinds, information texts, missing exports.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "PluginTestFiles.h"
#include "plugins/SPI.h"

TEST(SPITest, PicturePluginIsReadCompletely) {
  auto spi = CreateSPI(TestSpi("tp_b"));
  ASSERT_TRUE(spi);
  EXPECT_TRUE(spi->InheritsFrom(TSPIClass::InSPI));
  EXPECT_TRUE(spi->IsLoader);
  EXPECT_EQ(spi->FileName, TestSpi("tp_b"));
  EXPECT_EQ(spi->APIVersion, "00IN");
  EXPECT_EQ(spi->PluginName, "Test B");
  EXPECT_EQ(spi->Filters(), (QStringList{"*.aaa;*.bbb;*.ccc", "*.tsb"}));
  EXPECT_EQ(spi->Descriptions(), (QStringList{"Three", "Test B pictures"}));
}

TEST(SPITest, KindFollowsTheExactApiVersion) {
  auto lower = CreateSPI(TestSpi("tp_lower"));  // "00in": not a picture plug-in
  ASSERT_TRUE(lower);
  EXPECT_EQ(lower->APIVersion, "00in");
  EXPECT_FALSE(lower->InheritsFrom(TSPIClass::LoaderSPI));
  EXPECT_FALSE(lower->IsLoader);

  auto am = CreateSPI(TestSpi("tp_am"));
  ASSERT_TRUE(am);
  EXPECT_TRUE(am->InheritsFrom(TSPIClass::AmSPI));
  EXPECT_TRUE(am->InheritsFrom(TSPIClass::LoaderSPI));
  EXPECT_FALSE(am->InheritsFrom(TSPIClass::InSPI));
  EXPECT_TRUE(am->IsLoader);

  auto xn = CreateSPI(TestSpi("tp_xn"));
  ASSERT_TRUE(xn);
  EXPECT_TRUE(xn->InheritsFrom(TSPIClass::XnSPI));
  EXPECT_FALSE(xn->InheritsFrom(TSPIClass::LoaderSPI));
  EXPECT_FALSE(xn->IsLoader);
}

TEST(SPITest, MissingExportsNameTheExportAndTheFullPath) {
  try {
    CreateSPI(TestSpi("tp_noinfo"));
    FAIL() << "no error";
  } catch (const ESPIInvalidAPI& e) {
    EXPECT_EQ(e.message(), "GetPluginInfoは[" + TestSpi("tp_noinfo") + "]では使えないSusie Plugin APIです");
  }
  // A picture plug-in passes the probe and fails as its own kind.
  try {
    CreateSPI(TestSpi("tp_nopicture"));
    FAIL() << "no error";
  } catch (const ESPIInvalidAPI& e) {
    EXPECT_EQ(e.message(), "GetPictureは[" + TestSpi("tp_nopicture") + "]では使えないSusie Plugin APIです");
  }
  // A call-through checks again.
  auto plain = TSPI::Create<TSPI>(TestSpi("tp_xn"));
  plain->FGetPluginInfo = nullptr;
  char buf[256];
  EXPECT_THROW(plain->GetPluginInfo(0, buf, 255), ESPIInvalidAPI);
}

TEST(SPITest, FileThatIsNoLibraryGivesNone) {
  QTemporaryDir dir;
  const QString path = dir.filePath("text.spi");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("this is not a shared object\n");
  file.close();
  EXPECT_EQ(CreateSPI(path), nullptr);
  EXPECT_EQ(CreateSPI(dir.filePath("missing.spi")), nullptr);
  try {
    TSPI::Create<TSPI>(path);
    FAIL() << "no error";
  } catch (const ESPIFOpenErrorSPI& e) {
    EXPECT_EQ(e.message(), path + ":Susie Pluginがロードできませんでした");
  }
}

TEST(SPITest, BareNameIsNeverLookedUpOnTheLibraryPath) {
  // "libc.so.6" is found by the system loader, but not as a file here.
  EXPECT_EQ(CreateSPI("libc.so.6"), nullptr);
}

TEST(SPITest, InfoTwoWithoutInfoThreeLeavesBothListsEmpty) {
  auto spi = CreateSPI(TestSpi("tp_info2"));
  ASSERT_TRUE(spi);
  EXPECT_TRUE(spi->Filters().isEmpty());
  EXPECT_TRUE(spi->Descriptions().isEmpty());
}

TEST(SPITest, TextIsCutAtTheAllowedLength) {
  auto unterminated = CreateSPI(TestSpi("tp_longname"));
  ASSERT_TRUE(unterminated);
  EXPECT_EQ(unterminated->PluginName, QString(255, QLatin1Char('N')));
  // Writing far past the length it was given lands in slack, not on the stack.
  auto overlong = CreateSPI(TestSpi("tp_overlong"));
  ASSERT_TRUE(overlong);
  EXPECT_EQ(overlong->PluginName, QString(255, QLatin1Char('L')));
  EXPECT_EQ(overlong->Filters(), QStringList{"*.ovl"});
}

TEST(SPITest, InformationWithoutEndIsRefused) {
  try {
    CreateSPI(TestSpi("tp_endless"));
    FAIL() << "no error";
  } catch (const ESPIInfoOverflow& e) {
    EXPECT_EQ(e.message(), TestSpi("tp_endless") + ":Susie Pluginの情報が多すぎます");
  }
}

TEST(SPITest, LocalBlocksAreKnownWithoutReadingFreedMemory) {
  const SusieHandle h = LocalAlloc(LHND, 8);
  EXPECT_EQ(LocalSize(h), 8u);
  EXPECT_EQ(LocalFree(h), 0);
  EXPECT_EQ(LocalSize(h), 0u);
  EXPECT_EQ(LocalLock(h), nullptr);
  EXPECT_EQ(LocalFree(h), h);  // a second free is refused, not done
  EXPECT_EQ(LocalLock(12345), nullptr);
}

TEST(SPITest, TwoObjectsShareOneLoadedCopy) {
  auto first = CreateSPI(TestSpi("tp_a"));
  auto second = CreateSPI(TestSpi("tp_a"));
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->Handle, second->Handle);
  TestCallLog* log = LogOf(*second);
  first.reset();
  // Still loaded: the call goes through and lands in the same copy.
  const QByteArray data = ScriptData(PictureScript(), 0, 2048);
  EXPECT_EQ(static_cast<TInSPI*>(second.get())->IsSupported("x", data.constData()), 1);
  EXPECT_EQ(LogOf(*second), log);
}

TEST(LocalMemoryTest, BlocksKnowTheirSizeAndStrangersAreLeftAlone) {
  SusieHandle h = LocalAlloc(LHND, 100);
  ASSERT_NE(h, 0);
  EXPECT_EQ(LocalSize(h), 100u);
  const auto* bytes = static_cast<const unsigned char*>(LocalLock(h));
  EXPECT_EQ(std::count(bytes, bytes + 100, 0), 100);  // zero-filled
  EXPECT_EQ(reinterpret_cast<uintptr_t>(bytes) % 16, 0u);
  LocalUnlock(h);
  EXPECT_EQ(LocalFree(h), 0);

  void* notABlock = std::calloc(8, sizeof(uint64_t));  // a heap block of someone else's
  const auto stranger = reinterpret_cast<SusieHandle>(notABlock);
  EXPECT_EQ(LocalSize(stranger), 0u);
  EXPECT_EQ(LocalLock(stranger), nullptr);
  EXPECT_EQ(LocalFree(stranger), stranger);
  std::free(notABlock);
  EXPECT_EQ(LocalSize(0), 0u);
  EXPECT_EQ(LocalAlloc(0, SIZE_MAX), 0);
}
