#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>
#include <numeric>

#include "choice/Choice.h"
#include "choice/PlanJob.h"
#include "common/GifAnimation.h"
#include "common/TestFiles.h"

namespace {

TGifDocument Opened(const QByteArray& file, std::optional<uint8_t> chosen = 0) {
  TGifDocument doc;
  EXPECT_TRUE(doc.ReadGifHeader(file));
  doc.TransparentOn = bool(chosen);
  doc.TransparentIndex = chosen.value_or(0);
  return doc;
}

// Enough frames written anew that a plan runs for a while.
const QByteArray& Heavy() {
  static const QByteArray file = ShapesOverBand(240, 160, 40, 4);
  return file;
}

QByteArray Applied(const TSavePlan& plan, const QByteArray& source) { return plan.Edits.Apply(source); }

// What a job delivered, in order.
struct TRecord {
  std::vector<std::pair<int, int>> Progress;
  std::vector<TPlanResult> Done;
  TPlanJob::TCalls Calls() {
    return {[this](int done, int count) { Progress.emplace_back(done, count); },
            [this](const TPlanResult& r) { Done.push_back(r); }};
  }
};

// Delivers the job's events until until() holds (or a minute has passed).
void DeliverUntil(const std::function<bool()>& until) {
  QElapsedTimer t;
  t.start();
  while (!until() && t.elapsed() < 60000) {
    QCoreApplication::processEvents();
    QThread::msleep(2);
  }
  QCoreApplication::processEvents();
}

void Settle(const TPlanJob& job) { DeliverUntil([&] { return !job.Running(); }); }

void DeliverFor(int ms) {
  QElapsedTimer t;
  t.start();
  DeliverUntil([&] { return t.elapsed() >= ms; });
}

// A plan of a second or more, for stopping it while it runs.
const QByteArray& Heavier() {
  static const QByteArray file = ShapesOverBand(600, 500, 60, 6);
  return file;
}

}  // namespace

TEST(PlanJob, PlanSaveTellsItsProgressAndStopsWhenTold) {
  const TGifDocument doc = Opened(Heavy());
  const TSavePlan whole = PlanSave(doc, true);
  ASSERT_GT(whole.Frames.Rewritten, 30);  // the test picture is heavy indeed
  for (const int stopAt : {0, 1, 7}) {
    std::vector<int> told;
    const TSavePlan plan = PlanSave(doc, true, TFrameRewrite::Allowed, [&](int done, int count) {
      EXPECT_EQ(count, 40);
      told.push_back(done);
      return done != stopAt;
    });
    if (stopAt == 0) {
      EXPECT_EQ(told.size(), 40u);
      EXPECT_EQ(Applied(plan, doc.GifData), Applied(whole, doc.GifData));
    } else {
      std::vector<int> upTo(static_cast<size_t>(stopAt));
      std::iota(upTo.begin(), upTo.end(), 1);
      EXPECT_EQ(told, upTo) << "stopped at the frame it was told to";
    }
  }
}

TEST(PlanJob, DeliversThePlanOfTheDocumentAsItWasWhenStarted) {
  TRecord record;
  TPlanJob job(record.Calls());
  TGifDocument doc = Opened(Heavy());
  const TGifDocument asStarted = doc;
  job.Start(doc, true, true);
  // The window changes its document meanwhile: the plan keeps its copy.
  doc.TransparentIndex = 5;
  ASSERT_TRUE(doc.ReadGifHeader(ShapesOverBand(40, 30, 3, 1)));
  EXPECT_TRUE(job.Running());
  Settle(job);
  ASSERT_EQ(record.Done.size(), 1u);
  const TPlanResult done = record.Done[0];
  EXPECT_FALSE(done.Failure);
  EXPECT_TRUE(done.Preview);
  EXPECT_EQ(Applied(done.Plan, done.Source), Applied(PlanSave(asStarted, true), asStarted.GifData));
  EXPECT_EQ(done.Plan.Frames.Rewritten, PlanSave(asStarted, true).Frames.Rewritten);
  // Progress frame by frame up to the whole count, all before the result.
  ASSERT_EQ(record.Progress.size(), 40u);
  for (size_t i = 0; i < record.Progress.size(); ++i)
    EXPECT_EQ(record.Progress[i], std::make_pair(int(i) + 1, 40));
  // Which plan is current: the one of this choice of these bytes only.
  EXPECT_NE(job.Finished(TPlanKey::Of(asStarted, true)), nullptr);
  EXPECT_EQ(job.Finished(TPlanKey::Of(asStarted, false)), nullptr);
  EXPECT_EQ(job.Finished(TPlanKey::Of(doc, true)), nullptr);
  TGifDocument other = asStarted;
  other.TransparentIndex = 1;
  EXPECT_EQ(job.Finished(TPlanKey::Of(other, true)), nullptr);
  other.TransparentOn = false;  // the index means nothing without transparency
  TGifDocument off = asStarted;
  off.TransparentOn = false;
  EXPECT_EQ(TPlanKey::Of(other, true), TPlanKey::Of(off, true));
  // Asked again, the finished plan is delivered again without planning.
  job.Start(asStarted, true, false);
  Settle(job);
  ASSERT_EQ(record.Done.size(), 2u);
  EXPECT_FALSE(record.Done[1].Preview);
  EXPECT_EQ(Applied(record.Done[1].Plan, record.Done[1].Source), Applied(done.Plan, done.Source));
  EXPECT_EQ(record.Progress.size(), 40u);
}

TEST(PlanJob, TheLatestChoiceWinsAndCancelledPlansAreNeverDelivered) {
  TRecord record;
  TPlanJob job(record.Calls());
  const TGifDocument doc = Opened(Heavy());
  TGifDocument later = doc;
  // Three clicks in a row: only the last is delivered, its progress alone shown.
  for (const uint8_t index : {1, 2, 0}) {
    later.TransparentIndex = index;
    job.Start(later, true, true);
  }
  Settle(job);
  ASSERT_EQ(record.Done.size(), 1u);
  EXPECT_EQ(record.Done[0].Key, TPlanKey::Of(doc, true));
  EXPECT_EQ(record.Progress.size(), 40u);

  // A plan cancelled while it runs: nothing of it arrives, the one before
  // stays current, and the job's thread is free again at once.
  const TGifDocument heavier = Opened(Heavier());
  job.Start(heavier, true, true);
  DeliverUntil([&] { return record.Progress.size() > 41; });
  job.Cancel();
  EXPECT_FALSE(job.Running());
  const size_t told = record.Progress.size();
  EXPECT_LT(told, 40u + 60u);
  DeliverFor(300);
  EXPECT_EQ(record.Progress.size(), told);
  EXPECT_EQ(record.Done.size(), 1u);
  EXPECT_EQ(job.Finished(TPlanKey::Of(heavier, true)), nullptr);
  EXPECT_NE(job.Finished(TPlanKey::Of(doc, true)), nullptr);

  // A job ended while it plans delivers nothing afterwards.
  TRecord ended;
  {
    TPlanJob gone(ended.Calls());
    gone.Start(heavier, true, true);
    DeliverUntil([&] { return !ended.Progress.empty(); });
  }
  const size_t endedTold = ended.Progress.size();
  DeliverFor(300);
  EXPECT_EQ(ended.Progress.size(), endedTold);
  EXPECT_TRUE(ended.Done.empty());
}

TEST(PlanJob, AwaitAnswersTheFinishedPlanOrWaitsForTheLatestChoice) {
  TRecord record;
  TPlanJob job(record.Calls());
  const TGifDocument doc = Opened(Heavy());
  TGifDocument other = doc;
  other.TransparentIndex = 7;

  // Nothing planned yet: planned now, for the save.
  const TPlanResult* plan = job.Await(doc, true);
  ASSERT_NE(plan, nullptr);
  EXPECT_EQ(Applied(plan->Plan, plan->Source), Applied(PlanSave(doc, true), doc.GifData));
  ASSERT_EQ(record.Done.size(), 1u);
  EXPECT_FALSE(record.Done[0].Preview);
  // Finished: answered at once, nothing planned again.
  EXPECT_EQ(job.Await(doc, true), plan);
  EXPECT_EQ(record.Done.size(), 1u);

  // A save while the preview of the same choice runs waits for it.
  job.Start(other, true, true);
  plan = job.Await(other, true);
  ASSERT_NE(plan, nullptr);
  ASSERT_EQ(record.Done.size(), 2u);
  EXPECT_TRUE(record.Done[1].Preview);
  EXPECT_EQ(plan->Key, TPlanKey::Of(other, true));

  // A save while an older choice is planned writes the latest one.
  TGifDocument latest = doc;
  latest.TransparentIndex = 9;
  job.Start(doc, false, true);
  plan = job.Await(latest, true);
  ASSERT_NE(plan, nullptr);
  EXPECT_EQ(plan->Key, TPlanKey::Of(latest, true));
  ASSERT_EQ(record.Done.size(), 3u);
  EXPECT_EQ(record.Done[2].Key, TPlanKey::Of(latest, true));

  // Cancelled while waiting (the window closing): no plan.
  latest.TransparentIndex = 11;
  QTimer::singleShot(0, [&] { job.Cancel(); });
  EXPECT_EQ(job.Await(latest, true), nullptr);
  EXPECT_EQ(record.Done.size(), 3u);
}

namespace {

// The choice road's calls, recorded.
class TRecordingView : public TChoiceView {
 public:
  std::map<int, QString> Panels;
  bool RealTime = true, Checked = false;
  int Previews = 0, Planned = 0;
  void SetMsg(int index, const QString& text) override { Panels[index] = text; }
  void ShowPickedColor(TColor, const QString&) override {}
  bool RealTimePreview() const override { return RealTime; }
  bool TransparencyChecked() const override { return Checked; }
  bool AllFrames() const override { return true; }
  void Preview() override { ++Previews; }
  void SetTransChecked(bool checked) override { Checked = checked; }
  void PlanPreview(const TGifDocument&, const TAppPaths&) override { ++Planned; }
};

}  // namespace

TEST(ChoiceRoad, ThePaletteChoiceTicksTheBoxAndPreviewsInRealTime) {
  for (const bool realTime : {true, false}) {
    TRecordingView view;
    view.RealTime = realTime;
    TGifDocument doc = Opened(Heavy(), std::nullopt);
    ChoosePaletteEntry(doc, TAppPaths{}, view, 4);
    EXPECT_TRUE(view.Checked);
    EXPECT_TRUE(doc.TransparentOn);
    EXPECT_EQ(doc.TransparentIndex, 4);
    EXPECT_EQ(view.Panels[PanelIndex], QStringLiteral("4"));
    EXPECT_EQ(view.Planned, realTime ? 1 : 0) << realTime;
  }
}

TEST(ChoiceRoad, AFinishedPlanIsWrittenAndItsSizeShownBesideTheOpenedOne) {
  QTemporaryDir dir;
  TAppPaths paths;
  paths.WorkDir = dir.path() + QLatin1Char('/');
  TRecord record;
  TPlanJob job(record.Calls());
  struct TCase {
    bool AllFrames;
    bool Rewrites;
  };
  for (const TCase c : {TCase{true, true}, TCase{false, false}}) {
    TRecordingView view;
    const TGifDocument doc = Opened(Heavy());
    const TPlanResult* plan = job.Await(doc, c.AllFrames);
    ASSERT_NE(plan, nullptr);
    const QByteArray expected = Applied(plan->Plan, plan->Source);
    ShowPlannedPreview(*plan, paths, view, 1234);
    EXPECT_EQ(ReadAll(paths.Work(QStringLiteral("_.gif"))), expected);
    EXPECT_EQ(view.Previews, 1);
    EXPECT_EQ(view.Panels[PanelFrames], FramesPanelText(plan->Plan.Frames));
    EXPECT_EQ(plan->Plan.Frames.Rewritten > 0, c.Rewrites);
    EXPECT_EQ(view.Panels[PanelFileSize], c.Rewrites ? FileSizeText(1234, expected.size()) : QStringLiteral("1234 byte"));
    const QString saved = dir.filePath(QStringLiteral("saved.gif"));
    SavePlanned(*plan, view, saved, 1234);
    EXPECT_EQ(ReadAll(saved), expected);
  }

  // A plan that failed says why and writes nothing.
  TPlanResult failed;
  failed.Failure = std::make_exception_ptr(std::bad_alloc());
  TRecordingView view;
  EXPECT_THROW(SavePlanned(failed, view, dir.filePath(QStringLiteral("failed.gif")), 1), std::bad_alloc);
  EXPECT_THROW(ShowPlannedPreview(failed, TAppPaths{QString(), dir.filePath(QStringLiteral("w/")), QString()}, view, 1),
               std::bad_alloc);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 2);  // _.gif, saved.gif
  EXPECT_EQ(view.Previews, 0);
}

TEST(ChoiceRoad, TheSizePanelShowsBothSizesShortOnlyWhenTheSaveDiffers) {
  struct TCase {
    qint64 Opened, Saved;
    const char* Text;
  };
  for (const TCase c : {TCase{268106, -1, "268106 byte"}, TCase{268106, 6774503, "262KB→6.5MB"},
                        TCase{1, 1022975, "1KB→999KB"}, TCase{1023999, 1048523571, "1.0MB→999.9MB"},
                        TCase{0, 1048576000, "1KB→1000MB"}})
    EXPECT_EQ(FileSizeText(c.Opened, c.Saved), QString::fromUtf8(c.Text)) << c.Opened << " " << c.Saved;
}
