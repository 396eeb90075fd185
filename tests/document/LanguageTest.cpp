// The interface's language: which locales get English, that the English
// translation covers every text of the sources, and that it is what
// QCoreApplication::translate answers once installed.
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

struct TMessage {
  QString Translation;
  QString Type;  // "" when finished; "unfinished", "obsolete", "vanished"...
};
using TMessages = QMap<QString, TMessage>;  // "context\x1fsource"

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
      const QString type = xml.attributes().value(QLatin1String("type")).toString();
      messages.insert(context + QChar(0x1f) + source,
                      {xml.readElementText(QXmlStreamReader::IncludeChildElements), type});
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
      {{QStringLiteral("ja-JP"), QStringLiteral("ja")}, TLanguage::Japanese},
      {{QStringLiteral("ja")}, TLanguage::Japanese},
      {{QStringLiteral("en-US"), QStringLiteral("en")}, TLanguage::English},
      {{QStringLiteral("de-DE"), QStringLiteral("de")}, TLanguage::English},
      {{QStringLiteral("fr-FR"), QStringLiteral("ja-JP")}, TLanguage::Japanese},  // LANGUAGE=fr:ja
      {{QStringLiteral("en-GB"), QStringLiteral("ja-JP")}, TLanguage::English},
      {{QStringLiteral("C")}, TLanguage::English},
      {{}, TLanguage::English},
      {{QStringLiteral("JA_jp")}, TLanguage::Japanese},
      {{QStringLiteral("jav")}, TLanguage::English},  // Javanese is not Japanese
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChooseLanguage(c.UiLanguages), c.Expected) << c.UiLanguages.join(QLatin1Char(',')).toStdString();
}

// Every text the sources mark for translation has a finished English
// translation in the repository's tomaru_en.ts, with the same placeholders,
// and the file holds nothing unfinished or left over.
TEST(Language, TheEnglishTranslationCoversEveryText) {
  const QString committedPath = QStringLiteral(TOMARU_SOURCE_DIR "/translations/tomaru_en.ts");
  const TMessages committed = ReadTs(committedPath);
  ASSERT_GT(committed.size(), 100);
  QTemporaryDir dir;
  const QString freshPath = dir.filePath(QStringLiteral("fresh.ts"));
  QProcess lupdate;
  lupdate.start(QStringLiteral(TOMARU_LUPDATE),
                {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                 QStringLiteral(TOMARU_SOURCE_DIR "/src"), QStringLiteral("-ts"), freshPath});
  ASSERT_TRUE(lupdate.waitForFinished(120000));
  ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
  const TMessages fresh = ReadTs(freshPath);
  ASSERT_GT(fresh.size(), 100);
  for (auto it = fresh.cbegin(); it != fresh.cend(); ++it) {
    const std::string where = QString(it.key()).replace(QChar(0x1f), QStringLiteral(": ")).toStdString();
    const auto found = committed.constFind(it.key());
    ASSERT_NE(found, committed.cend()) << "not in tomaru_en.ts (run scripts/update-translations): " << where;
    EXPECT_TRUE(found->Type.isEmpty()) << found->Type.toStdString() << ": " << where;
    EXPECT_FALSE(found->Translation.isEmpty()) << where;
    const QString source = it.key().section(QChar(0x1f), 1);
    EXPECT_EQ(Placeholders(found->Translation), Placeholders(source)) << where;
    // No Japanese left in an English text.
    EXPECT_FALSE(found->Translation.contains(QRegularExpression(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"))))
        << where;
  }
  for (auto it = committed.cbegin(); it != committed.cend(); ++it)
    EXPECT_TRUE(fresh.contains(it.key())) << "no longer in the sources: "
                                          << QString(it.key()).replace(QChar(0x1f), QStringLiteral(": ")).toStdString();
}

TEST(Language, InstalledEnglishAnswersAndJapaneseKeepsTheSourceTexts) {
  auto& app = *QCoreApplication::instance();
  const QString appDir = QStringLiteral(TOMARU_BIN_DIR "/");
  ASSERT_TRUE(InstallProgramTranslation(app, TLanguage::English, appDir));
  EXPECT_EQ(FileMissingMessage(QStringLiteral("a.gif")), QStringLiteral("File \"a.gif\" does not exist."));
  ASSERT_TRUE(InstallProgramTranslation(app, TLanguage::Japanese, appDir));
  EXPECT_EQ(FileMissingMessage(QStringLiteral("a.gif")), QStringLiteral("ファイル「a.gif」が存在しませんでした。"));
  // No translation file: the program stays in its source texts.
  EXPECT_FALSE(InstallProgramTranslation(app, TLanguage::English, QStringLiteral("/nonexistent/")));
  EXPECT_EQ(FileMissingMessage(QStringLiteral("a.gif")), QStringLiteral("ファイル「a.gif」が存在しませんでした。"));
}
