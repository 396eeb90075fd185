#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "document/Exception.h"
#include "persist/IniSaveProps.h"
#include "persist/Doubles.h"

namespace {

QString MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.message();
  }
  return QString();
}

}  // namespace

TEST(SaveProp, ValueKindFollowsThePropertyType) {
  QObject owner;
  TFakeControl c("ctl", &owner);
  TFakeAction a("act", &owner);
  const auto kind = [](QObject* o, const char* name) { return ValueKindOf(FindPublishedProperty(o, QLatin1String(name))); };
  EXPECT_EQ(kind(&a, "Checked"), TValueKind::vkOrdinal);
  EXPECT_EQ(kind(&a, "Hint"), TValueKind::vkString);
  EXPECT_EQ(kind(&c, "Letter"), TValueKind::vkOrdinal);
  EXPECT_EQ(kind(&c, "Mask"), TValueKind::vkOrdinal);
  EXPECT_EQ(kind(c.Font(), "Style"), TValueKind::vkOrdinal);  // flags
  EXPECT_EQ(kind(c.Font(), "Pitch"), TValueKind::vkOrdinal);  // enum
  EXPECT_EQ(kind(&c, "Ratio"), TValueKind::vkFloat);
  EXPECT_EQ(kind(&c, "Font"), TValueKind::vkObject);
  EXPECT_EQ(kind(&c, "Big"), TValueKind::vkNone);
  EXPECT_EQ(kind(&c, "Bounds"), TValueKind::vkNone);
  EXPECT_EQ(kind(&c, "Missing"), TValueKind::vkNone);
}

TEST(SaveProp, OrdinalsOfEveryShapeReadAndWrite) {
  QObject owner;
  TFakeControl c("ctl", &owner);
  TIniSaveProps isp(&owner);
  TProp* style = isp.Props().Add(c.Font(), QStringLiteral("Style"));
  TProp* pitch = isp.Props().Add(c.Font(), QStringLiteral("Pitch"));
  TProp* letter = isp.Props().Add(&c, QStringLiteral("Letter"));
  style->SetOrdValue(TFakeFont::fsBold | TFakeFont::fsUnderline);
  pitch->SetOrdValue(TFakeFont::fpFixed);
  letter->SetOrdValue('z');
  EXPECT_EQ(c.FontObject.Style, TFakeFont::TFontStyles(TFakeFont::fsBold) | TFakeFont::fsUnderline);
  EXPECT_EQ(c.FontObject.Pitch, TFakeFont::fpFixed);
  EXPECT_EQ(c.Letter, QLatin1Char('z'));
  EXPECT_EQ(style->GetOrdValue(), 5);
  EXPECT_EQ(pitch->GetOrdValue(), 2);
  EXPECT_EQ(letter->GetOrdValue(), 'z');
}

TEST(SaveProp, SectionAndKeyRules) {
  QObject owner;
  TFakeAction a("actRealTime", &owner);
  QObject unnamed(&owner);
  TIniSaveProps isp(&owner);
  TProp* item = isp.Props().Add(&a, QStringLiteral("Checked"));
  EXPECT_EQ(item->DisplayName(), QStringLiteral("actRealTime.Checked"));
  EXPECT_EQ(item->GetSectionKey().Section, QStringLiteral("actRealTime"));
  EXPECT_EQ(item->GetSectionKey().Key, QStringLiteral("Checked"));
  item->SetSectionName(QStringLiteral("Options"));
  item->SetKeyName(QStringLiteral("RealTime"));
  EXPECT_EQ(item->GetSectionKey().Section, QStringLiteral("Options"));
  EXPECT_EQ(item->GetSectionKey().Key, QStringLiteral("RealTime"));
  EXPECT_EQ(isp.Props().GetItemAttr(2, 0), QStringLiteral("RealTime"));
  EXPECT_EQ(isp.Props().GetAttr(1), QStringLiteral("Section"));

  // An unnamed component gives its class name; a missing property is cleared.
  TProp* byClass = isp.Props().Add(&unnamed, QStringLiteral("objectName"));
  EXPECT_EQ(byClass->GetSectionKey().Section, QStringLiteral("QObject"));
  TProp* missing = isp.Props().Add(&a, QStringLiteral("NoSuchProperty"));
  EXPECT_TRUE(missing->PropName().isEmpty());
  EXPECT_FALSE(missing->GetSectionKey().Valid);
  EXPECT_EQ(missing->DisplayName(), QStringLiteral("TProp"));

  item->SetEnabled(false);
  EXPECT_FALSE(item->GetSectionKey().Valid);
}

TEST(SaveProp, DuplicateKeysGetSuffixesAndDirectWritesAreRefused) {
  QTemporaryDir dir;
  QObject owner;
  TFakeAction a("actRealTime", &owner, true);
  TIniSaveProps isp(&owner);
  isp.SetFileName(dir.filePath(QStringLiteral("p.ini")));
  TProp* first = isp.Props().Add(&a, QStringLiteral("Checked"));
  TProp* second = isp.Props().Add(&a, QStringLiteral("Checked"));
  TProp* third = isp.Props().Add(&a, QStringLiteral("checked"));
  EXPECT_EQ(first->EffectiveKey(), QStringLiteral("Checked"));
  EXPECT_EQ(second->EffectiveKey(), QStringLiteral("Checked1"));
  EXPECT_EQ(third->EffectiveKey(), QStringLiteral("checked2"));

  isp.Save();
  EXPECT_EQ(ReadAll(isp.FileName()), QByteArray("[actRealTime]\r\nChecked=1\r\nChecked1=1\r\nchecked2=1\r\n\r\n"));

  EXPECT_EQ(MessageOf([&] { isp.WriteInteger(QStringLiteral("ACTREALTIME"), QStringLiteral("checked1"), 0); }),
            QStringLiteral("セクション名 ACTREALTIME とキー名 checked1 の組み合わせが重複しています"));
  EXPECT_EQ(ReadAll(isp.FileName()), QByteArray("[actRealTime]\r\nChecked=1\r\nChecked1=1\r\nchecked2=1\r\n\r\n"));
  isp.WriteInteger(QStringLiteral("actRealTime"), QStringLiteral("Other"), 7);
  EXPECT_EQ(isp.ReadInteger(QStringLiteral("actRealTime"), QStringLiteral("Other")), 7);
}

TEST(SaveProp, AssigningTheListCopiesItemsInOrder) {
  QObject owner;
  TFakeAction a("a", &owner), b("b", &owner);
  TIniSaveProps from(&owner), to(&owner);
  from.Props().Add(&a, QStringLiteral("Checked"))->SetKeyName(QStringLiteral("K"));
  from.Props().Add(&b, QStringLiteral("Hint"))->SetEnabled(false);
  to.SetProps(from.Props());
  ASSERT_EQ(to.Props().Count(), 2);
  EXPECT_EQ(to.Props()[0]->Compo(), &a);
  EXPECT_EQ(to.Props()[0]->GetSectionKey().Key, QStringLiteral("K"));
  EXPECT_EQ(to.Props()[1]->PropName(), QStringLiteral("Hint"));
  EXPECT_FALSE(to.Props()[1]->Enabled());
}

TEST(SaveProp, DestroyedComponentIsLetGoAndSkipped) {
  QTemporaryDir dir;
  QObject owner;
  auto* gone = new TFakeAction("actGone", &owner, true);
  TFakeAction kept("actKept", &owner, true);
  TIniSaveProps isp(&owner);
  isp.SetFileName(dir.filePath(QStringLiteral("p.ini")));
  TProp* item = isp.Props().Add(gone, QStringLiteral("Checked"));
  isp.Props().Add(&kept, QStringLiteral("Checked"));
  delete gone;
  EXPECT_EQ(item->Compo(), nullptr);
  EXPECT_EQ(item->ValueKind(), TValueKind::vkNone);
  isp.Save();
  isp.Load();
  EXPECT_EQ(ReadAll(isp.FileName()), QByteArray("[actKept]\r\nChecked=1\r\n\r\n"));
}

TEST(SaveProp, EventsRunAroundLoadAndSaveAndSaveDuringLoadDoesNothing) {
  QTemporaryDir dir;
  QObject owner;
  TFakeAction a("a", &owner);
  TIniSaveProps isp(&owner);
  isp.SetFileName(dir.filePath(QStringLiteral("p.ini")));
  isp.Props().Add(&a, QStringLiteral("Checked"));
  QStringList trace;
  isp.OnBeforeLoad = [&](QObject*) {
    trace << QStringLiteral("before");
    throw Exception(QStringLiteral("absorbed"));
  };
  isp.OnAfterLoad = [&](QObject*) {
    trace << QStringLiteral("after") + QString::number(isp.Loading());
    isp.Save();  // nothing: a load is running
  };
  isp.OnAfterSave = [&](QObject*) { trace << QStringLiteral("saved") + QString::number(isp.OpenCount()); };
  isp.Load();
  EXPECT_FALSE(Exists(isp.FileName()));
  isp.Save();
  EXPECT_EQ(trace, QStringList({QStringLiteral("before"), QStringLiteral("after1"), QStringLiteral("saved2")}));
  EXPECT_FALSE(isp.Loading());
  EXPECT_FALSE(isp.Saving());
}

TEST(SaveProp, PlacementNeedsAFormAndAllFiveKeys) {
  QObject plainOwner;
  plainOwner.setObjectName(QStringLiteral("Plain"));
  TIniSaveProps plain(&plainOwner);
  EXPECT_EQ(MessageOf([&] { plain.SetRestorePlacement({TRestoreKind::Enabled}); }),
            QStringLiteral("Owner が TForm でないと設定できません"));
  plain.SetRestorePlacement({TRestoreKind::AllowMaximize});  // without Enabled: accepted

  QTemporaryDir dir;
  TFakePlacementForm form;
  TIniSaveProps isp(&form);
  isp.SetFileName(dir.filePath(QStringLiteral("p.ini")));
  isp.SetRestorePlacement({TRestoreKind::Enabled});
  EXPECT_EQ(isp.PlacementKey(0), QStringLiteral("MainFormLeft"));
  EXPECT_EQ(isp.PlacementKey(4), QStringLiteral("MainFormState"));

  form.State = 2;
  isp.Save();
  EXPECT_EQ(ReadAll(isp.FileName()),
            QByteArray("[WindowPlacement]\r\nMainFormLeft=10\r\nMainFormTop=20\r\nMainFormRight=310\r\n"
                       "MainFormBottom=220\r\nMainFormState=2\r\n\r\n"));
  isp.Load();  // maximized is not allowed: comes up normal
  EXPECT_EQ(form.Applied, 1);
  EXPECT_EQ(form.AppliedRect, QRect(10, 20, 300, 200));
  EXPECT_EQ(form.AppliedState, 0);

  isp.SetRestorePlacement({TRestoreKind::Enabled, TRestoreKind::AllowMaximize});
  isp.Load();
  EXPECT_EQ(form.AppliedState, 2);

  WriteAll(isp.FileName(), "[WindowPlacement]\r\nMainFormLeft=1\r\nMainFormTop=2\r\nMainFormRight=3\r\nMainFormState=0\r\n");
  isp.Load();
  EXPECT_EQ(form.Applied, 2);  // four of five: nothing applied
}

TEST(SaveProp, AutoSaveSavesWhenTheOwnerGoesAway) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("p.ini"));
  {
    QObject owner;
    owner.setObjectName(QStringLiteral("Owner"));
    auto* a = new TFakeAction("actRealTime", &owner, true);
    auto* isp = new TIniSaveProps(&owner);
    isp->SetFileName(path);
    isp->Props().Add(a, QStringLiteral("Checked"));
    EXPECT_TRUE(isp->AutoSave());
  }
  EXPECT_EQ(ReadAll(path), QByteArray("[actRealTime]\r\nChecked=1\r\n\r\n"));

  QFile::remove(path);
  {
    QObject owner;
    auto* a = new TFakeAction("actRealTime", &owner, true);
    auto* isp = new TIniSaveProps(&owner);
    isp->SetFileName(path);
    isp->Props().Add(a, QStringLiteral("Checked"));
    isp->SetAutoSave(false);
  }
  EXPECT_FALSE(Exists(path));

  // AutoLoad: loading runs when the owner's definition is complete.
  WriteAll(path, "[actRealTime]\r\nChecked=1\r\n");
  QObject owner;
  TFakeAction a("actRealTime", &owner);
  TIniSaveProps isp(&owner);
  isp.SetFileName(path);
  isp.Props().Add(&a, QStringLiteral("Checked"));
  isp.SetAutoSave(false);
  isp.Loaded();
  EXPECT_TRUE(a.Checked);
}
