// The interface's language: which locales get English, that the English
// translation covers every text of the sources, and that without its file
// the source texts stay.
#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include "document/FileOpen.h"
#include "document/Language.h"

namespace {

// "context\x1fsource" to its finished translation; an unfinished or left-over
// one counts as none.
using TMessages = QMap<QString, QString>;

TMessages ReadTs(const QString& path) {
  TMessages messages;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return messages;
  QXmlStreamReader xml(&file);
  QString context, source;
  while (!xml.atEnd()) {
    if (!xml.readNextStartElement()) continue;
    if (xml.name() == QLatin1String("name")) {
      context = xml.readElementText();
    } else if (xml.name() == QLatin1String("source")) {
      source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    } else if (xml.name() == QLatin1String("translation")) {
      const bool finished = xml.attributes().value(QLatin1String("type")).isEmpty();
      const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
      messages.insert(context + QChar(0x1f) + source, finished ? text : QString());
    }
  }
  return messages;
}

QSet<QString> Placeholders(const QString& text) {
  QSet<QString> found;
  auto it = QRegularExpression(QStringLiteral("%\\d")).globalMatch(text);
  while (it.hasNext()) found.insert(it.next().captured());
  return found;
}

}  // namespace

TEST(Language, JapaneseOnlyWhenItComesBeforeEnglish) {
  const struct {
    QStringList UiLanguages;
    TLanguage Expected;
  } cases[] = {
      {{"ja-JP", "ja"}, TLanguage::Japanese},  {{"ja"}, TLanguage::Japanese},
      {{"JA_jp"}, TLanguage::Japanese},        {{"fr-FR", "ja-JP"}, TLanguage::Japanese},  // LANGUAGE=fr:ja
      {{"de-DE", "de"}, TLanguage::English},   {{"en-GB", "ja-JP"}, TLanguage::English},
      {{"C"}, TLanguage::English},             {{}, TLanguage::English},
      {{"jav"}, TLanguage::English},  // Javanese is not Japanese
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChooseLanguage(c.UiLanguages), c.Expected) << c.UiLanguages.join(QLatin1Char(',')).toStdString();
}

// Every text the sources mark for translation has a finished English
// translation in the repository's tomaru_en.ts, with the same placeholders and
// no Japanese left, and the file holds nothing unfinished or left over.
TEST(Language, TheEnglishTranslationCoversEveryText) {
  const TMessages committed = ReadTs(QStringLiteral(TOMARU_SOURCE_DIR "/translations/tomaru_en.ts"));
  QTemporaryDir dir;
  const QString freshPath = dir.filePath(QStringLiteral("fresh.ts"));
  QProcess lupdate;
  lupdate.start(QStringLiteral(TOMARU_LUPDATE), {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                                                 QStringLiteral(TOMARU_SOURCE_DIR "/src"), QStringLiteral("-ts"), freshPath});
  ASSERT_TRUE(lupdate.waitForFinished(120000));
  ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
  const TMessages fresh = ReadTs(freshPath);
  ASSERT_GT(fresh.size(), 100);
  const auto where = [](QString key) { return key.replace(QChar(0x1f), QStringLiteral(": ")).toStdString(); };
  const QRegularExpression japanese(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
  for (auto it = fresh.cbegin(); it != fresh.cend(); ++it) {
    const auto found = committed.constFind(it.key());
    ASSERT_NE(found, committed.cend()) << "not in tomaru_en.ts (run scripts/update-translations): " << where(it.key());
    EXPECT_FALSE(found->isEmpty()) << "unfinished: " << where(it.key());
    EXPECT_EQ(Placeholders(*found), Placeholders(it.key().section(QChar(0x1f), 1))) << where(it.key());
    EXPECT_FALSE(found->contains(japanese)) << where(it.key());
  }
  for (auto it = committed.cbegin(); it != committed.cend(); ++it)
    EXPECT_TRUE(fresh.contains(it.key())) << "no longer in the sources: " << where(it.key());
}

// The windows' language test installs English, then Japanese in its place.
TEST(Language, WithoutItsFileEnglishLeavesTheSourceTexts) {
  EXPECT_FALSE(InstallProgramTranslation(*QCoreApplication::instance(), TLanguage::English, QStringLiteral("/nonexistent/")));
  EXPECT_EQ(FileMissingMessage(QStringLiteral("a.gif")), QStringLiteral("ファイル「a.gif」が存在しませんでした。"));
}
