#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "document/Exception.h"
#include "persist/Doubles.h"
#include "persist/IniSaveProps.h"
#include "persist/StreamingDummy.h"

namespace {

// The main window's persisted components and its store, as the window builds them.
struct TMainWindowDouble {
  TFakeForm MainForm;
  TFakeAction* actRealTime = new TFakeAction("actRealTime", &MainForm, true);
  TFakeAction* actShowPaletteSync = new TFakeAction("actShowPaletteSync", &MainForm);
  TFakeAction* actPreviewColor = new TFakeAction("actPreviewColor", &MainForm);
  TFakeAction* actClassic = new TFakeAction("actClassic", &MainForm);
  TFakeDialog* opd = new TFakeDialog("opd", &MainForm);
  TFakeDialog* spd = new TFakeDialog("spd", &MainForm);
  TIniSaveProps* isp = new TIniSaveProps(&MainForm);

  explicit TMainWindowDouble(const QString& fileName) {
    actPreviewColor->Hint = QStringLiteral("White");
    isp->setObjectName(QStringLiteral("isp"));
    isp->SetAutoLoad(false);
    isp->SetAutoSave(false);
    isp->SetFileName(fileName);
    TProps& p = isp->Props();
    p.Add(actRealTime, QStringLiteral("Checked"));
    p.Add(actShowPaletteSync, QStringLiteral("Checked"));
    p.Add(&MainForm, QStringLiteral("ClientWidth"));
    p.Add(&MainForm, QStringLiteral("ClientHeight"));
    p.Add(&MainForm, QStringLiteral("Left"));
    p.Add(&MainForm, QStringLiteral("Top"));
    p.Add(&MainForm, QStringLiteral("WindowState"));
    p.Add(actPreviewColor, QStringLiteral("Hint"));
    p.Add(opd, QStringLiteral("FileName"));
    p.Add(spd, QStringLiteral("FileName"));
    p.Add(actClassic, QStringLiteral("Checked"));
  }
};

const QByteArray FirstSave =
    "[actRealTime]\r\nChecked=1\r\n\r\n"
    "[actShowPaletteSync]\r\nChecked=0\r\n\r\n"
    "[MainForm]\r\nClientWidth=730\r\nClientHeight=543\r\nLeft=202\r\nTop=134\r\nWindowState=0\r\n\r\n"
    "[actPreviewColor]\r\nHint=White\r\n\r\n"
    "[opd]\r\nFileName=\r\n\r\n"
    "[spd]\r\nFileName=\r\n\r\n"
    "[actClassic]\r\nChecked=0\r\n\r\n";

}  // namespace

TEST(IniSaveProps, FirstSaveOfTheMainWindowIntoAMissingFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("data/property.ini"));
  TMainWindowDouble w(path);
  w.isp->Load();  // missing file: everything keeps its designed value
  EXPECT_TRUE(w.actRealTime->Checked);
  EXPECT_EQ(w.MainForm.ClientWidth, 730);
  w.isp->Save();
  EXPECT_EQ(ReadAll(path), FirstSave);
  EXPECT_EQ(w.isp->IniFile(), nullptr);
  EXPECT_EQ(w.isp->OpenCount(), 0);
}

TEST(IniSaveProps, SavedValuesComeBackInANewWindow) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("property.ini"));
  {
    TMainWindowDouble w(path);
    w.actRealTime->Checked = false;
    w.actShowPaletteSync->Checked = true;
    w.actClassic->Checked = true;
    w.MainForm.ClientWidth = 800;
    w.MainForm.Top = -20;
    w.MainForm.WindowState = 2;
    w.actPreviewColor->Hint = QStringLiteral("黒");
    w.opd->FileName = QStringLiteral("/home/u/画像/a b.gif");
    w.spd->FileName = QStringLiteral("/tmp/out.gif");
    w.isp->Save();
  }
  TMainWindowDouble w(path);
  w.isp->Load();
  EXPECT_FALSE(w.actRealTime->Checked);
  EXPECT_TRUE(w.actShowPaletteSync->Checked);
  EXPECT_TRUE(w.actClassic->Checked);
  EXPECT_EQ(w.MainForm.ClientWidth, 800);
  EXPECT_EQ(w.MainForm.ClientHeight, 543);
  EXPECT_EQ(w.MainForm.Top, -20);
  EXPECT_EQ(w.MainForm.WindowState, 2);
  EXPECT_EQ(w.actPreviewColor->Hint, QStringLiteral("黒"));
  EXPECT_EQ(w.opd->FileName, QStringLiteral("/home/u/画像/a b.gif"));
  EXPECT_EQ(w.spd->FileName, QStringLiteral("/tmp/out.gif"));
}

TEST(IniSaveProps, ValuesAsTheyAreFoundInTheFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("property.ini"));
  WriteAll(path,
           "[ACTREALTIME]\r\nchecked=0x1\r\n"
           "[actShowPaletteSync]\r\nChecked=0X1\r\n"
           "[actClassic]\r\nChecked=\r\n"
           "[MainForm]\r\nClientWidth=$200\r\nClientHeight=wide\r\nWindowState=2\r\n"
           "[opd]\r\nOther=1\r\n"
           "[Foreign]\r\nKey=kept\r\n");
  TMainWindowDouble w(path);
  w.actRealTime->Checked = false;
  w.actClassic->Checked = true;
  w.opd->FileName = QStringLiteral("designed");
  w.isp->Load();
  EXPECT_TRUE(w.actRealTime->Checked);
  EXPECT_TRUE(w.actShowPaletteSync->Checked);
  EXPECT_FALSE(w.actClassic->Checked);          // empty value: 0
  EXPECT_EQ(w.MainForm.ClientWidth, 512);
  EXPECT_EQ(w.MainForm.ClientHeight, 0);        // not a number: 0
  EXPECT_EQ(w.MainForm.Left, 202);              // absent: kept
  EXPECT_EQ(w.opd->FileName, QStringLiteral("designed"));

  w.isp->Save();  // rewritten in place; other keys and sections stay
  EXPECT_EQ(ReadAll(path),
            QByteArray("[ACTREALTIME]\r\nchecked=1\r\n\r\n"
                       "[actShowPaletteSync]\r\nChecked=1\r\n\r\n"
                       "[actClassic]\r\nChecked=0\r\n\r\n"
                       "[MainForm]\r\nClientWidth=512\r\nClientHeight=0\r\nWindowState=2\r\nLeft=202\r\nTop=134\r\n\r\n"
                       "[opd]\r\nOther=1\r\nFileName=designed\r\n\r\n"
                       "[Foreign]\r\nKey=kept\r\n\r\n"
                       "[actPreviewColor]\r\nHint=White\r\n\r\n"
                       "[spd]\r\nFileName=\r\n\r\n"));
}

TEST(IniSaveProps, BracketsNestAndAFailedWriteKeepsTheCopy) {
  QTemporaryDir dir;
  QObject owner;
  TFakeAction a("a", &owner, true);
  TIniSaveProps isp(&owner);
  WriteAll(dir.filePath(QStringLiteral("plain")), "not a directory");
  isp.SetFileName(dir.filePath(QStringLiteral("plain/p.ini")));
  isp.Props().Add(&a, QStringLiteral("Checked"));

  EXPECT_THROW(isp.Save(), Exception);
  ASSERT_NE(isp.IniFile(), nullptr);
  EXPECT_EQ(isp.OpenCount(), 0);
  // The next bracket reads the copy, not the file; closing a read frees it.
  isp.SetFileName(dir.filePath(QStringLiteral("elsewhere.ini")));
  EXPECT_EQ(isp.ReadInteger(QStringLiteral("a"), QStringLiteral("Checked")), 1);
  EXPECT_EQ(isp.IniFile(), nullptr);
  EXPECT_FALSE(Exists(dir.filePath(QStringLiteral("elsewhere.ini"))));

  // One write in a read bracket stays in memory and is thrown away.
  isp.BeginRead();
  isp.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v"));
  EXPECT_EQ(isp.ReadString(QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("v"));
  isp.EndRead();
  EXPECT_FALSE(Exists(isp.FileName()));
  isp.WriteFloat(QStringLiteral("s"), QStringLiteral("f"), 2.5);
  EXPECT_DOUBLE_EQ(isp.ReadFloat(QStringLiteral("s"), QStringLiteral("f")), 2.5);
}

TEST(IniSaveProps, WithoutAFileNameTheExecutablesIniIsUsed) {
  QObject owner;
  TIniSaveProps isp(&owner);
  EXPECT_EQ(isp.GetIniFileName(), QCoreApplication::applicationFilePath() + QStringLiteral(".ini"));
}

TEST(IniSaveProps, ObjectItemsAreStoredOneLinePerKey) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("p.ini"));
  WriteAll(path, "[ctl]\r\nFont0=old\r\nFont1=old\r\nFont2=old\r\nFont3=old\r\nFont4=old\r\nFont5=old\r\n"
                 "Font6=old\r\nFont7=old\r\nOther=x\r\n[next]\r\nk=1\r\n");
  QObject owner;
  TFakeControl c("ctl", &owner);
  c.FontObject.Name = QStringLiteral("It's");
  c.FontObject.Size = 12;
  c.FontObject.Style = TFakeFont::TFontStyles(TFakeFont::fsBold) | TFakeFont::fsItalic;
  c.FontObject.Pitch = TFakeFont::fpFixed;
  TIniSaveProps isp(&owner);
  isp.SetFileName(path);
  isp.Props().Add(&c, QStringLiteral("Font"));
  isp.Save();
  // Old lines and another writer's key are gone; the section keeps its place.
  EXPECT_EQ(ReadAll(path), QByteArray("[ctl]\r\n"
                                      "Font0=  Obj.Name = 'It''s'\r\n"
                                      "Font1=  Obj.Size = 12\r\n"
                                      "Font2=  Obj.Style = [fsBold, fsItalic]\r\n"
                                      "Font3=  Obj.Pitch = fpFixed\r\n"
                                      "Font4=  Obj.Height = 1.5\r\n"
                                      "Font5=  Obj.Strike = False\r\n\r\n"
                                      "[next]\r\nk=1\r\n\r\n"));

  TFakeControl d("ctl", &owner);
  TIniSaveProps other(&owner);
  other.SetFileName(path);
  other.Props().Add(&d, QStringLiteral("Font"));
  other.Load();
  EXPECT_EQ(d.FontObject.Name, QStringLiteral("It's"));
  EXPECT_EQ(d.FontObject.Size, 12);
  EXPECT_EQ(d.FontObject.Style, TFakeFont::TFontStyles(TFakeFont::fsBold) | TFakeFont::fsItalic);
  EXPECT_EQ(d.FontObject.Pitch, TFakeFont::fpFixed);
}

TEST(IniSaveProps, ObjectTextTakesEveryKeyThatBeginsWithTheKey) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("p.ini"));
  WriteAll(path, "[ctl]\r\nFont0=Obj.Size = 9\r\nfont1=Obj.Size = 99\r\nFontSize=12\r\nBad=Obj.Size = 7\r\n"
                 "Font2=  Obj.Name = #13'x'#10\r\nFont3=Obj.Nope = 1\r\nFont4=Obj.Pitch = fpWrong\r\n");
  QObject owner;
  TFakeControl c("ctl", &owner);
  TIniSaveProps isp(&owner);
  isp.SetFileName(path);
  isp.Props().Add(&c, QStringLiteral("Font"));
  isp.BeginRead();
  EXPECT_EQ(isp.ObjectText(QStringLiteral("ctl"), QStringLiteral("Font")),
            QStringList({QStringLiteral("object TStreamingDummy"), QStringLiteral("Obj.Size = 9"), QStringLiteral("12"),
                         QStringLiteral("Obj.Name = #13'x'#10"), QStringLiteral("Obj.Nope = 1"),
                         QStringLiteral("Obj.Pitch = fpWrong"), QStringLiteral("end")}));
  isp.EndRead();
  isp.Load();  // lines that cannot be used are passed over
  EXPECT_EQ(c.FontObject.Size, 9);
  EXPECT_EQ(c.FontObject.Name, QStringLiteral("\rx\n"));
  EXPECT_EQ(c.FontObject.Pitch, TFakeFont::fpDefault);

  // No stored lines: the object is left as it was.
  WriteAll(path, "[ctl]\r\nOther=1\r\n");
  c.FontObject.Size = 33;
  isp.Load();
  EXPECT_EQ(c.FontObject.Size, 33);
}

TEST(IniSaveProps, FindValuesOffersNumbersAndTexts) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("p.ini"));
  WriteAll(path, "[Colors]\r\na=12\r\nb=abc\r\nc=0x1F\r\nempty=\r\nd= -$10\r\n[Stop]\r\nx=1\r\ny=2\r\nz=w\r\n");
  QObject owner;
  TIniSaveProps isp(&owner);
  isp.SetFileName(path);
  isp.SetFindKeys({QStringLiteral("Colors"), QStringLiteral("Stop")});
  QStringList seen;
  isp.OnFindOrdValue = [&](QObject*, const QString& s, const QString& k, int v, bool& Continue) {
    seen << s + QLatin1Char('.') + k + QLatin1Char('=') + QString::number(v);
    if (s == QLatin1String("Stop")) Continue = false;
  };
  isp.OnFindStrValue = [&](QObject*, const QString& s, const QString& k, const QString& v, bool&) {
    seen << s + QLatin1Char('.') + k + QStringLiteral("='") + v + QLatin1Char('\'');
  };
  isp.Load();
  EXPECT_EQ(seen, QStringList({QStringLiteral("Colors.a=12"), QStringLiteral("Colors.b='abc'"),
                               QStringLiteral("Colors.c=31"), QStringLiteral("Colors.d=-16"),
                               QStringLiteral("Stop.x=1")}));
}

TEST(IniSaveProps, FloatItemsRoundTrip) {
  QTemporaryDir dir;
  QObject owner;
  TFakeControl c("ctl", &owner);
  TIniSaveProps isp(&owner);
  isp.SetFileName(dir.filePath(QStringLiteral("p.ini")));
  isp.Props().Add(&c, QStringLiteral("Ratio"));
  c.Ratio = 0.1;
  isp.Save();
  EXPECT_EQ(ReadAll(isp.FileName()), QByteArray("[ctl]\r\nRatio=0.1\r\n\r\n"));
  c.Ratio = 9;
  isp.Load();
  EXPECT_DOUBLE_EQ(c.Ratio, 0.1);
}

TEST(StreamingDummy, RendersAnObjectBetweenTheWrapperLines) {
  TFakeFont font;
  TStreamingDummy dummy;
  dummy.Obj = &font;
  const QStringList text = dummy.WriteText();
  EXPECT_EQ(text.first(), QStringLiteral("object TStreamingDummy"));
  EXPECT_EQ(text[1], QStringLiteral("  Obj.Name = 'Tahoma'"));
  EXPECT_EQ(text.last(), QStringLiteral("end"));
  dummy.Obj = nullptr;
  EXPECT_EQ(dummy.WriteText(), QStringList({QStringLiteral("object TStreamingDummy"), QStringLiteral("end")}));
}
