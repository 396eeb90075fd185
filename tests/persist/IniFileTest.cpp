#include <QLocale>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "document/Exception.h"
#include "persist/IniNumbers.h"
#include "persist/MemIniFile.h"

TEST(IniNumbers, IntegersInDecimalAndBothHexSpellings) {
  EXPECT_EQ(ParseIniInteger(QStringLiteral("12")), 12);
  EXPECT_EQ(ParseIniInteger(QStringLiteral("  -7")), -7);
  EXPECT_EQ(ParseIniInteger(QStringLiteral("+7")), 7);
  EXPECT_EQ(ParseIniInteger(QStringLiteral("0x1")), 1);
  EXPECT_EQ(ParseIniInteger(QStringLiteral("0X1f")), 31);
  EXPECT_EQ(ParseIniInteger(QStringLiteral("$1F")), 31);
  EXPECT_EQ(ParseIniInteger(QStringLiteral("$FFFFFFFF")), -1);
  EXPECT_EQ(ParseIniInteger(QStringLiteral("2147483647")), 2147483647);
  EXPECT_EQ(ParseIniInteger(QStringLiteral("-2147483648")), int(0x80000000u));
  for (const char* bad : {"", " ", "abc", "12 ", "1.5", "2147483648", "$", "0x", "$100000000", "1e3", "--1"})
    EXPECT_EQ(ParseIniInteger(QLatin1String(bad)), std::nullopt) << bad;
}

TEST(IniNumbers, FloatsInGeneralFormRoundTrip) {
  QLocale::setDefault(QLocale::c());
  EXPECT_EQ(FormatIniFloat(1.5), QStringLiteral("1.5"));
  EXPECT_EQ(FormatIniFloat(-0.25), QStringLiteral("-0.25"));
  EXPECT_EQ(FormatIniFloat(100), QStringLiteral("100"));
  EXPECT_EQ(FormatIniFloat(1e20), QStringLiteral("1E20"));
  EXPECT_EQ(FormatIniFloat(0.00001), QStringLiteral("1E-5"));
  EXPECT_EQ(FormatIniFloat(0.1 + 0.2), QStringLiteral("0.3"));  // 15 digits
  for (double v : {1.5, -0.25, 1e20, 0.00001, 123456.789, 3.14159265358979})
    EXPECT_DOUBLE_EQ(*ParseIniFloat(FormatIniFloat(v)), v);
  EXPECT_EQ(ParseIniFloat(QString()), std::nullopt);
  EXPECT_EQ(ParseIniFloat(QStringLiteral("abc")), std::nullopt);

  // The locale's separator is written and read.
  QLocale::setDefault(QLocale(QLocale::German));
  EXPECT_EQ(FormatIniFloat(1.5), QStringLiteral("1,5"));
  EXPECT_DOUBLE_EQ(*ParseIniFloat(QStringLiteral("1,5")), 1.5);
  QLocale::setDefault(QLocale::c());
}

TEST(MemIniFile, ReadsSectionsKeysCaseInsensitivelyAndDropsWhatIsNotALine) {
  TMemIniFile ini(QString(), QByteArray("orphan=1\r\n"
                                        "; comment\r\n"
                                        "[Sec]\n"
                                        "  Key = value  \r"
                                        "key=second\r\n"
                                        "NoEquals\n"
                                        "\n"
                                        "[other]\r\n"
                                        "A=1"));
  EXPECT_EQ(ini.ReadSections(), QStringList({QStringLiteral("Sec"), QStringLiteral("other")}));
  EXPECT_EQ(ini.ReadString(QStringLiteral("SEC"), QStringLiteral("KEY"), QString()), QStringLiteral("value"));
  EXPECT_TRUE(ini.ValueExists(QStringLiteral("Other"), QStringLiteral("a")));
  EXPECT_FALSE(ini.ValueExists(QStringLiteral("Sec"), QStringLiteral("orphan")));
  EXPECT_FALSE(ini.ValueExists(QStringLiteral("Sec"), QStringLiteral("NoEquals")));
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Sec"), QStringLiteral("Key"), 42), 42);  // not a number
  EXPECT_EQ(ini.Text(), QByteArray("[Sec]\r\nKey=value\r\nkey=second\r\nNoEquals\r\n\r\n[other]\r\nA=1\r\n\r\n"));

  TMemIniFile withMark(QString(), QByteArray("\xEF\xBB\xBF[a]\r\nk=1\r\n"));
  EXPECT_EQ(withMark.ReadInteger(QStringLiteral("a"), QStringLiteral("k"), 0), 1);
}

TEST(MemIniFile, WritesInPlaceAppendsNewAndKeepsValuesOnOneLine) {
  TMemIniFile ini(QString(), QByteArray("[a]\r\nx=1\r\ny=2\r\n"));
  ini.WriteInteger(QStringLiteral("A"), QStringLiteral("X"), 5);
  ini.WriteString(QStringLiteral("a"), QStringLiteral("z"), QStringLiteral("3"));
  ini.WriteString(QStringLiteral("b"), QStringLiteral("k"), QStringLiteral("line1\r\n[a]\nx=9"));
  EXPECT_EQ(ini.Text(), QByteArray("[a]\r\nx=5\r\ny=2\r\nz=3\r\n\r\n[b]\r\nk=line1  [a] x=9\r\n\r\n"));
  ini.DeleteKey(QStringLiteral("a"), QStringLiteral("X"));
  ini.ClearSection(QStringLiteral("b"));
  EXPECT_EQ(ini.Text(), QByteArray("[a]\r\ny=2\r\nz=3\r\n\r\n[b]\r\n\r\n"));
}

TEST(MemIniFile, HostileFilesAreReadWithoutHarm) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("property.ini"));

  QByteArray junk(1 << 20, '\0');
  for (char& c : junk) c = char(QRandomGenerator::global()->generate());
  WriteAll(path, junk);
  TMemIniFile fromJunk(path);
  fromJunk.WriteInteger(QStringLiteral("s"), QStringLiteral("k"), 1);
  EXPECT_EQ(fromJunk.ReadInteger(QStringLiteral("s"), QStringLiteral("k"), 0), 1);

  // One line of nearly the whole limit, and the most tiny sections that fit.
  const int longest = int(TMemIniFile::MaxFileSize) - 16;
  WriteAll(path, "[s]\r\nk=" + QByteArray(longest, 'x') + "\r\n");
  EXPECT_EQ(TMemIniFile(path).ReadString(QStringLiteral("s"), QStringLiteral("k"), QString()).size(), longest);
  QByteArray many;
  for (int i = 0; many.size() < TMemIniFile::MaxFileSize - 32; ++i) many += "[" + QByteArray::number(i) + "]\nk=1\n";
  WriteAll(path, many);
  EXPECT_EQ(TMemIniFile(path).ReadInteger(QStringLiteral("1000"), QStringLiteral("K"), 0), 1);

  // Far larger than any settings file: read as empty.
  QFile big(path);
  ASSERT_TRUE(big.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_TRUE(big.resize(100ll << 20));
  big.close();
  EXPECT_TRUE(TMemIniFile(path).ReadSections().isEmpty());

  // A directory where the file should be: the I/O error is raised.
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("dir.ini")));
  EXPECT_THROW(TMemIniFile(dir.filePath(QStringLiteral("dir.ini"))).UpdateFile(), Exception);
}
