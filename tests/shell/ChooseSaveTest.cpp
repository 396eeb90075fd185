#include <QCheckBox>
#include <QSpinBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <csignal>
#include <sys/resource.h>

#include "common/GifAnimation.h"
#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "document/FileErrors.h"
#include "document/FramesPanel.h"
#include "frames/SavePlan.h"
#include "shell/ErrorReport.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/PlanWait.h"
#include "shell/ScriptedDialogs.h"
#include "shell/TestAppDir.h"
#include "shell/Shape.h"

namespace {

// A window with a four-colour GIF open and its picture in the left pane.
class ChooseSaveTest : public ::testing::Test {
 protected:
  TScriptedDialogs Ui;
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;
  QString Path;
  QByteArray File;

  void SetUp() override {
    Form = std::make_unique<TMainForm>(MakeAppDir(Dir));
    TGifPlan s;
    s.Width = 4;
    s.Height = 1;
    s.Colors = {{255, 255, 255}, {200, 0, 0}, {0, 0, 200}, {255, 255, 255}};
    s.Pixels = {0, 1, 2, 3};
    s.GceFlags = 0x08;
    s.GceIndex = 2;
    File = MakeGif(s);
    Path = Dir.filePath(QStringLiteral("logo.gif"));
    WriteAll(Path, File);
    Form->FileOpen(Path);
    QImage picture(4, 1, QImage::Format_RGB32);
    const QColor shown[] = {Qt::white, QColor(200, 0, 0), QColor(0, 0, 190), Qt::white};  // 190: not in the palette
    for (int x = 0; x < 4; ++x) picture.setPixelColor(x, 0, shown[x]);
    Form->img->SetPicture(picture);
  }
  QString PreviewCopy() const { return Form->Paths.Work(QStringLiteral("_.gif")); }
  // Whether the action wrote a new preview copy.
  template <typename F>
  bool MakesPreview(F action) {
    QFile::remove(PreviewCopy());
    action();
    WaitForPlan(*Form);
    return Exists(PreviewCopy());
  }
  void Click(int x) { QTest::mouseClick(Form->img, Qt::LeftButton, {}, QPoint(x, 0)); }
};

}  // namespace

TEST_F(ChooseSaveTest, EyedropperPicksTheNearestEntry) {
  Click(1);
  EXPECT_EQ(Form->Msg(6), QStringLiteral("1"));
  EXPECT_EQ(Form->Doc.TransparentIndex, 1);
  EXPECT_EQ(Form->shp->Color(), QColor(200, 0, 0));
  EXPECT_EQ(Form->shp->toolTip(), QStringLiteral("R200 G0 B0"));
  Click(2);
  EXPECT_EQ(Form->Msg(6), QStringLiteral("*2"));
  Click(3);  // white twice in the palette: the first
  EXPECT_EQ(Form->Msg(6), QStringLiteral("0"));
  EXPECT_FALSE(Form->Doc.TransparentOn);  // the eyedropper never switches transparency
}

TEST_F(ChooseSaveTest, WhichControlsMakeAPreview) {
  EXPECT_EQ(ReadAll(PreviewCopy()), File);  // right after opening
  // Real time on, box cleared: a pick makes none; the box makes one either way.
  EXPECT_FALSE(MakesPreview([&] { Click(1); }));
  EXPECT_TRUE(MakesPreview([&] { QTest::mouseClick(Form->chkTrans, Qt::LeftButton); }));
  EXPECT_TRUE(Form->Doc.TransparentOn);
  EXPECT_TRUE(MakesPreview([&] { Click(3); }));  // (0,0) would mean "the centre" to QTest
  const QByteArray copy = ReadAll(PreviewCopy());
  EXPECT_EQ(uint8_t(copy[Form->Doc.GceFlagsOffset]), 0x09);
  EXPECT_EQ(uint8_t(copy[Form->Doc.TransparentIndexOffset]), 0);
  EXPECT_EQ(Form->Doc.GifData, File);  // previews never touch the document
  // Unticked: the copy is the file again, the earlier pick left behind.
  EXPECT_TRUE(MakesPreview([&] { QTest::mouseClick(Form->chkTrans, Qt::LeftButton); }));
  EXPECT_EQ(ReadAll(PreviewCopy()), File);

  Form->actRealTime->trigger();  // off: nothing previews by itself, the command still does
  EXPECT_FALSE(MakesPreview([&] { QTest::mouseClick(Form->chkTrans, Qt::LeftButton); }));
  EXPECT_FALSE(MakesPreview([&] { Click(1); }));
  EXPECT_TRUE(MakesPreview([&] { Form->actPreview->trigger(); }));
}

// Each control of how far the choice reaches plans the preview again with the
// choice as it now is, the page colour too while the edges are matted to it;
// none does with transparency off, and only the page colour does with real
// time off (its command always shows the page anew).
TEST_F(ChooseSaveTest, EachBackgroundControlPlansTheChoiceAgain) {
  QTest::mouseClick(Form->chkTrans, Qt::LeftButton);
  WaitForPlan(*Form);
  const auto dark = [] { return std::optional<TColor>(RGBColor(32, 32, 32)); };
  struct TCase {
    const char* Control;
    bool TransOn, RealTime;
    std::function<void()> Act;
    bool Plans;
    TReach Then;
  };
  const auto click = [](QWidget* w) { return [w] { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, w->height() / 2)); }; };
  const auto pageColour = [&](QColor c) { return [this, c] { Ui.ColorAnswers = {c}; Form->actPreviewColor->trigger(); }; };
  const TCase cases[] = {
      {"tolerance", true, true, [&] { Form->spnTolerance->setValue(30); }, true, {30, false, {}}},
      {"region", true, true, click(Form->chkConnected), true, {30, true, {}}},
      {"page colour, not matted", true, true, pageColour(QColor(32, 32, 32)), false, {30, true, {}}},
      {"matte", true, true, click(Form->chkMatte), true, {30, true, dark(), true}},
      {"page colour", true, false, pageColour(QColor(255, 255, 255)), true, {30, true, RGBColor(255, 255, 255), true}},
      {"tolerance, real time off", true, false, [&] { Form->spnTolerance->stepUp(); }, false, {31, true, RGBColor(255, 255, 255), true}},
      {"region, transparency off", false, true, click(Form->chkConnected), false, {31, false, RGBColor(255, 255, 255), true}},
      {"page colour, transparency off", false, true, pageColour(QColor(32, 32, 32)), false, {31, false, dark(), true}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Control);
    Form->actRealTime->setChecked(c.RealTime);
    if (Form->chkTrans->isChecked() != c.TransOn) QTest::mouseClick(Form->chkTrans, Qt::LeftButton);
    WaitForPlan(*Form);
    const TGifDocument before = Form->Doc;
    EXPECT_EQ(MakesPreview(c.Act), c.Plans);
    EXPECT_EQ(Form->Doc.Reach, c.Then);
    // The plan shown is the one of the choice now made, not the one before.
    const bool all = Form->actAllFrames->isChecked();
    if (c.Plans) {
      EXPECT_NE(Form->Plans->Finished(TPlanKey::Of(Form->Doc, all)), nullptr);
      EXPECT_EQ(Form->Plans->Finished(TPlanKey::Of(before, all)), nullptr);
    }
  }
  Form->FileOpen(Path);  // the settings stay for the next file
  EXPECT_EQ(Form->Doc.Reach, cases[std::size(cases) - 1].Then);
  EXPECT_TRUE(Ui.Errors.isEmpty());
}

TEST_F(ChooseSaveTest, ThePaletteChoiceTicksTheBoxAndPreviewsAsAPickDoes) {
  for (const bool realTime : {false, true}) {
    Form->actRealTime->setChecked(realTime);
    Form->chkTrans->setChecked(false);
    Form->Doc.TransparentOn = false;
    EXPECT_EQ(MakesPreview([&] { Form->PaletteChoice(realTime ? 3 : 1, 0, 0, 0); }), realTime);
    EXPECT_TRUE(Form->Doc.TransparentOn);
    EXPECT_TRUE(Form->chkTrans->isChecked());
    EXPECT_EQ(Form->Msg(6), realTime ? QStringLiteral("3") : QStringLiteral("1"));
  }
  // What the copy then carries: PaletteTest.ConfirmMakesTheEntryTransparentTicksTheBoxAndPreviews.
  EXPECT_EQ(Form->shp->Color(), QColor(255, 255, 255));
}

// A cancelled save changes nothing; a save writes the file with only the two
// bytes patched.
TEST_F(ChooseSaveTest, SavingWritesTheFileWithOnlyTheTwoBytesPatched) {
  const QString out = Dir.filePath(QStringLiteral("out.gif"));
  Form->PaletteChoice(1, 200, 0, 0);
  Ui.SaveAnswers = {std::nullopt, out};
  Form->actSave->trigger();
  EXPECT_EQ(Form->Doc.GifData, File);
  EXPECT_EQ(ReadAll(Path), File);
  Form->actSave->trigger();
  ASSERT_EQ(Ui.SaveRequests.size(), 2);
  EXPECT_EQ(Ui.SaveRequests[1].FileName, Path);  // proposes the opened file itself
  QByteArray expected = File;
  expected[Form->Doc.GceFlagsOffset] = char(0x09);
  expected[Form->Doc.TransparentIndexOffset] = char(1);
  EXPECT_EQ(ReadAll(out), expected);
  const auto decoded = DecodeGif(ReadAll(out));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->TransparentIndex, 1);

  // Saving again without transparency: the flag goes, and the index is the
  // opened file's again: an earlier choice leaves nothing behind.
  ASSERT_TRUE(Form->chkTrans->isChecked());  // ticked by the palette's choice
  QTest::mouseClick(Form->chkTrans, Qt::LeftButton);
  ASSERT_FALSE(Form->Doc.TransparentOn);
  Ui.SaveAnswers = {Path};
  Form->actSave->trigger();
  EXPECT_EQ(ReadAll(Path), File);
  EXPECT_EQ(Form->windowTitle(), Path);
}

TEST_F(ChooseSaveTest, AFailedSaveIsReportedAndKeepsTheOldFile) {
  Form->PaletteChoice(1, 200, 0, 0);
  WaitForPlan(*Form);  // its preview written
  // The disk fills up half-way through the write.
  rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, SIG_IGN);
  rlimit tiny{16, old.rlim_max};
  setrlimit(RLIMIT_FSIZE, &tiny);
  Ui.SaveAnswers = {Path};
  Form->actSave->trigger();
  setrlimit(RLIMIT_FSIZE, &old);
  ASSERT_EQ(Ui.Errors.size(), 1);
  EXPECT_EQ(Ui.Errors[0], ErrorReportText(FileErrorText(TFileAction::Write, Path, EFBIG)));
  EXPECT_TRUE(Ui.Errors[0].startsWith(QStringLiteral("ファイル「") + Path + QStringLiteral("」を保存できませんでした。")));
  EXPECT_EQ(ReadAll(Path), File);
  EXPECT_EQ(QDir(Dir.path()).entryList({QStringLiteral("*.gif")}, QDir::Files), QStringList{QStringLiteral("logo.gif")});
}

// A named colour is hinted by its name (other colours: WindowFiles.SettingsSurviveARestart).
TEST_F(ChooseSaveTest, ThePreviewBackgroundColour) {
  Ui.ColorAnswers = {QColor(255, 0, 0), std::nullopt};
  for (int i = 0; i < 2; ++i) {  // chosen, then cancelled
    Form->actPreviewColor->trigger();
    EXPECT_EQ(ReadAll(Form->Paths.Work(QStringLiteral("bg.css"))), QByteArray("body { background-color: #FF0000; }"));
    EXPECT_EQ(Form->actPreviewColor->Hint(), QStringLiteral("clRed"));
  }
}

// A heavy animation open and white chosen in the palette: while its plan
// runs, the user clicks another entry, opens another file, saves or closes.
// What shows and what is saved is always the latest choice; nothing stale
// arrives and nothing is left half-written.
TEST_F(ChooseSaveTest, WhatTheUserDoesWhileAPlanRunsDecides) {
  const QString heavy = Dir.filePath(QStringLiteral("heavy.gif")), out = Dir.filePath(QStringLiteral("out.gif"));
  WriteAll(heavy, ShapesOverBand(240, 160, 40, 4));
  const auto planOf = [&](uint8_t index) {
    TGifDocument doc = Form->Doc;
    doc.TransparentOn = true;
    doc.TransparentIndex = index;
    const TSavePlan plan = PlanSave(doc, true);
    return std::make_pair(plan.Edits.Apply(doc.GifData), FramesPanelText(plan.Frames));
  };
  // Another entry and a save, closed while the save waits if asked.
  const auto save = [&](bool close) {
    Form->PaletteChoice(5, 0, 0, 0);
    Ui.SaveAnswers = {out};
    if (close) QTimer::singleShot(0, Form.get(), [&] { Form->close(); });
    Form->actSave->trigger();
    EXPECT_EQ(ReadAll(out), planOf(5).first);  // written before the command returns
  };
  struct TCase {
    const char* Meanwhile;
    std::function<void()> Act;
    std::function<void()> Check;
  };
  const TCase cases[] = {
      {"another entry", [&] { Form->PaletteChoice(5, 0, 0, 0); },
       [&] {
         EXPECT_EQ(ReadAll(PreviewCopy()), planOf(5).first);
         EXPECT_EQ(Form->Msg(PanelFrames), planOf(5).second);
       }},
      {"another file", [&] { Form->FileOpen(Path); },
       [&] {
         EXPECT_EQ(ReadAll(PreviewCopy()), File);
         EXPECT_EQ(Form->Msg(PanelFrames), QString());
         EXPECT_EQ(Form->Msg(PanelFileSize), QStringLiteral("%1 byte").arg(File.size()));
       }},
      {"a save", [&] { save(false); },
       [&] {
         EXPECT_EQ(Form->Msg(PanelFrames), planOf(5).second);
         EXPECT_EQ(Form->Msg(PanelFileSize), FileSizeText(QFileInfo(heavy).size(), planOf(5).first.size()));
       }},
      {"a close during the save", [&] { save(true); },
       [&] { EXPECT_FALSE(QDir(Form->Paths.WorkDir).exists()) << "closed once saved"; }},
      {"a close", [&] { Form->close(); Form.reset(); }, [] {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Meanwhile);
    QFile::remove(out);
    Form->actRealTime->setChecked(true);
    Form->FileOpen(heavy);
    const QString work = Form->Paths.WorkDir;
    Form->PaletteChoice(0, 255, 255, 255);
    ASSERT_TRUE(Form->Plans->Running());
    // Judged frame by frame, as the frames panel tells.
    QElapsedTimer t;
    t.start();
    while (!Form->Msg(PanelFrames).startsWith(QStringLiteral("判定中 ")) && t.elapsed() < 20000) QTest::qWait(1);
    EXPECT_TRUE(Form->Msg(PanelFrames).endsWith(QStringLiteral("/40"))) << Form->Msg(PanelFrames).toStdString();
    c.Act();
    if (Form) {
      WaitForPlan(*Form);
      QTest::qWait(100);
    } else {
      EXPECT_FALSE(QDir(work).exists());
    }
    c.Check();
    EXPECT_TRUE(Ui.Errors.isEmpty());
    // Nothing half-written beside the files.
    QStringList files = QDir(Dir.path()).entryList({QStringLiteral("*.gif*")}, QDir::Files);
    files.removeAll(QStringLiteral("out.gif"));
    EXPECT_EQ(files, (QStringList{QStringLiteral("heavy.gif"), QStringLiteral("logo.gif")}));
    if (!Form) break;
  }
}
