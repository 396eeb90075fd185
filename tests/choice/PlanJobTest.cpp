#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <functional>
#include <map>

#include "choice/Choice.h"
#include "choice/PlanJob.h"
#include "common/GifAnimation.h"
#include "common/TestFiles.h"
#include "frames/SaveOracle.h"

namespace {

// 40 frames, nearly all written anew; and one whose plan runs for a second.
const QByteArray& Heavy() {
  static const QByteArray file = ShapesOverBand(240, 160, 40, 4);
  return file;
}
const QByteArray& Heavier() {
  static const QByteArray file = ShapesOverBand(600, 500, 60, 6);
  return file;
}

QByteArray Applied(const TPlanResult& r) { return r.Plan.Edits.Apply(r.Source); }

// What a job delivered, in order, and how often it told that nothing runs.
struct TRecord {
  std::vector<std::pair<int, int>> Progress;
  std::vector<TPlanResult> Done;
  int Settled = 0;
  TPlanJob::TCalls Calls() {
    return {[this](int done, int count) { Progress.emplace_back(done, count); },
            [this](const TPlanResult& r) { Done.push_back(r); }, [this] { ++Settled; }};
  }
};

// Delivers events until until() holds, or for ms.
void DeliverUntil(const std::function<bool()>& until, int ms = 60000) {
  QElapsedTimer t;
  t.start();
  while (!until() && t.elapsed() < ms) {
    QCoreApplication::processEvents();
    QThread::msleep(2);
  }
  QCoreApplication::processEvents();
}
void Settle(const TPlanJob& job) { DeliverUntil([&] { return !job.Running(); }); }

// A save's wait, as the window's: the plan needed, events delivered until nothing runs.
const TPlanResult* Await(TPlanJob& job, const TGifDocument& doc, bool allFrames) {
  if (const TPlanResult* plan = job.Need(doc, allFrames)) return plan;
  Settle(job);
  return job.Finished(TPlanKey::Of(doc, allFrames));
}

}  // namespace

TEST(PlanJob, TheLatestChoiceIsDeliveredAsTheDocumentWasWhenStarted) {
  TRecord record;
  TPlanJob job(record.Calls());
  TGifDocument doc = Chosen(Heavy(), 1);
  // Clicks in a row: only the last is delivered, with its progress alone.
  for (const uint8_t index : {1, 2, 0}) {
    doc.TransparentIndex = index;
    job.Start(doc, true, true);
  }
  const TGifDocument asStarted = doc;
  // The window changes its document meanwhile: the plan keeps its copy.
  ASSERT_TRUE(doc.ReadGifHeader(ShapesOverBand(40, 30, 3, 1)));
  EXPECT_TRUE(job.Running());
  Settle(job);
  ASSERT_EQ(record.Done.size(), 1u);
  const TPlanResult done = record.Done[0];
  EXPECT_FALSE(done.Failure);
  EXPECT_TRUE(done.Preview);
  EXPECT_EQ(Applied(done), Save(asStarted).Data);
  std::vector<std::pair<int, int>> progress;
  for (int k = 1; k <= 40; ++k) progress.emplace_back(k, 40);
  EXPECT_EQ(record.Progress, progress);
  // Current: the plan of this choice of these bytes only; the index counts
  // only with transparency on.
  EXPECT_NE(job.Finished(TPlanKey::Of(asStarted, true)), nullptr);
  EXPECT_EQ(job.Finished(TPlanKey::Of(asStarted, false)), nullptr);
  EXPECT_EQ(job.Finished(TPlanKey::Of(doc, true)), nullptr);
  // So do the index and each setting of how far the choice reaches.
  const std::function<void(TGifDocument&)> changes[] = {
      [](TGifDocument& d) { d.TransparentIndex = 7; }, [](TGifDocument& d) { d.Reach.Tolerance = 1; },
      [](TGifDocument& d) { d.Reach.Connected = true; }, [](TGifDocument& d) { d.Reach.Matte = 0; },
      [](TGifDocument& d) { d.Reach.Matte = RGBColor(1, 2, 3); }};
  for (const auto& change : changes) {
    TGifDocument a = asStarted;
    a.Reach.Matte = RGBColor(1, 2, 4);
    TGifDocument b = a;
    change(b);
    EXPECT_NE(TPlanKey::Of(a, true), TPlanKey::Of(b, true));
    a.TransparentOn = b.TransparentOn = false;
    EXPECT_EQ(TPlanKey::Of(a, true), TPlanKey::Of(b, true));
  }
  // Asked again, the finished plan is delivered again without planning.
  job.Start(asStarted, true, false);
  Settle(job);
  ASSERT_EQ(record.Done.size(), 2u);
  EXPECT_FALSE(record.Done[1].Preview);
  EXPECT_EQ(Applied(record.Done[1]), Applied(done));
  EXPECT_EQ(record.Progress.size(), 40u);
}

TEST(PlanJob, ACancelledOrEndedPlanDeliversNothing) {
  const TGifDocument heavier = Chosen(Heavier(), 0);
  for (const bool ended : {false, true}) {
    SCOPED_TRACE(ended ? "job ended" : "plan cancelled");
    TRecord record;
    auto job = std::make_unique<TPlanJob>(record.Calls());
    job->Start(heavier, true, true);
    DeliverUntil([&] { return !record.Progress.empty(); });
    if (ended)
      job.reset();
    else
      job->Cancel();
    const size_t told = record.Progress.size();
    EXPECT_LT(told, 60u);
    DeliverUntil([] { return false; }, 300);
    EXPECT_EQ(record.Progress.size(), told);
    EXPECT_TRUE(record.Done.empty());
    if (ended) continue;
    EXPECT_FALSE(job->Running());
    EXPECT_EQ(job->Finished(TPlanKey::Of(heavier, true)), nullptr);
  }
}

TEST(PlanJob, NeedAnswersTheFinishedPlanOrStartsTheLatestChoice) {
  TRecord record;
  TPlanJob job(record.Calls());
  const TGifDocument doc = Chosen(Heavy(), 0), other = Chosen(Heavy(), 7), latest = Chosen(Heavy(), 9);
  // Nothing planned yet: planned now, for the save; then answered at once.
  const TPlanResult* plan = Await(job, doc, true);
  ASSERT_NE(plan, nullptr);
  EXPECT_EQ(Applied(*plan), Save(doc).Data);
  EXPECT_EQ(Await(job, doc, true), plan);
  // A save while the preview of the same choice runs waits for it.
  job.Start(other, true, true);
  plan = Await(job, other, true);
  ASSERT_NE(plan, nullptr);
  EXPECT_EQ(plan->Key, TPlanKey::Of(other, true));
  // A save while an older choice is planned writes the latest one.
  job.Start(doc, false, true);
  plan = Await(job, latest, true);
  ASSERT_NE(plan, nullptr);
  EXPECT_EQ(plan->Key, TPlanKey::Of(latest, true));
  ASSERT_EQ(record.Done.size(), 3u);
  EXPECT_EQ(std::vector<bool>({record.Done[0].Preview, record.Done[1].Preview, record.Done[2].Preview}),
            std::vector<bool>({false, true, false}));
  // Cancelled while waiting (the window closing): no plan.
  QTimer::singleShot(0, [&] { job.Cancel(); });
  EXPECT_EQ(Await(job, Chosen(Heavy(), 11), true), nullptr);
  EXPECT_EQ(record.Done.size(), 3u);
  EXPECT_EQ(record.Settled, 4);  // each delivery and the cancel: the window's wait ends on it
}

namespace {

struct TPanelsView : TQuietChoiceView {
  TPanelsView() : TQuietChoiceView(true) {}
  std::map<int, QString> Panels;
  int Previews = 0;
  void SetMsg(int index, const QString& text) override { Panels[index] = text; }
  void Preview() override { ++Previews; }
};

}  // namespace

TEST(ChoiceRoad, AFinishedPlanIsWrittenAndItsSizeShownBesideTheOpenedOne) {
  QTemporaryDir dir;
  const TAppPaths paths{QString(), dir.path() + QLatin1Char('/'), QString()};
  TRecord record;
  TPlanJob job(record.Calls());
  for (const bool allFrames : {true, false}) {  // frames written anew, or the first control only
    TPanelsView view;
    const TPlanResult* plan = Await(job, Chosen(Heavy(), 0), allFrames);
    ASSERT_NE(plan, nullptr);
    const QByteArray expected = Applied(*plan);
    ShowPlannedPreview(*plan, paths, view, 1234);
    EXPECT_EQ(ReadAll(paths.Work(QStringLiteral("_.gif"))), expected);
    EXPECT_EQ(view.Previews, 1);
    EXPECT_EQ(view.Panels[PanelFrames], FramesPanelText(plan->Plan.Frames));
    EXPECT_EQ(view.Panels[PanelFileSize], allFrames ? FileSizeText(1234, expected.size()) : QStringLiteral("1234 byte"));
    SavePlanned(*plan, view, dir.filePath(QStringLiteral("saved.gif")), 1234);
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("saved.gif"))), expected);
  }
  // A plan that failed says why and writes nothing.
  TPlanResult failed;
  failed.Failure = std::make_exception_ptr(std::bad_alloc());
  TPanelsView view;
  EXPECT_THROW(SavePlanned(failed, view, dir.filePath(QStringLiteral("failed.gif")), 1), std::bad_alloc);
  EXPECT_THROW(ShowPlannedPreview(failed, paths, view, 1), std::bad_alloc);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);  // _.gif, saved.gif
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
