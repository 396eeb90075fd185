// Choosing the transparent colour, previewing it and saving: the window's
// side of the choice road.
#include <QCheckBox>
#include <QEventLoop>
#include <QSpinBox>
#include <QStatusBar>
#include <utility>

#include "choice/Choice.h"

#include <QCoreApplication>
#include "document/FileOps.h"
#include "document/SaveName.h"
#include "preview/DataBind.h"
#include "preview/PreviewColor.h"
#include "preview/PreviewFiles.h"
#include "shell/CommandTable.h"
#include "shell/Dialogs.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/Shape.h"
#include "shell/SystemColors.h"

namespace {
// How long the status bar says what a save did, or what one would reduce,
// before the panels show again.
const int kSaidMs = 8000;
}  // namespace

QByteArray TMainForm::PreviewCss() const {
  return BackgroundCss(RGBColor(LastPreviewColor.red(), LastPreviewColor.green(), LastPreviewColor.blue()), SystemColor);
}

void TMainForm::Preview() {
  EnsurePreviewFiles(Paths, dbpreview->Data()->bytes(), PreviewCss());
  if (wb) wb->ShowPage(QUrl::fromLocalFile(Paths.Work(QStringLiteral("preview.html"))));
}

void TMainForm::actPreviewExecute() { PlanPreview(Doc, Paths); }

// Judging every frame of a large animation takes seconds: the plan is made
// off the window's thread, which shows its progress and keeps answering.
void TMainForm::PlanPreview(const TGifDocument& doc, const TAppPaths&) { Plans->Start(doc, AllFrames(), true); }

void TMainForm::PlanDone(const TPlanResult& result) {
  // A save shows its own plan; a plan of a file no longer open shows nothing.
  if (!result.Preview || result.Key.Bytes != Doc.GifData.constData()) return;
  ShowPlannedPreview(result, Paths, *this, OpenedSize);
  if (const QString warning = ReductionWarning(result.Plan.Frames); !warning.isEmpty()) stb->showMessage(warning, kSaidMs);
}

const TPlanResult* TMainForm::AwaitPlan() {
  const TPlanKey key = TPlanKey::Of(Doc, AllFrames());
  if (const TPlanResult* plan = Plans->Need(Doc, AllFrames())) return plan;
  // The window paints and shows the plan's progress but takes no input
  // until the plan is delivered or cancelled; a close asked for meanwhile
  // waits for the save.
  RunBusy([this] {
    QEventLoop loop;
    QEventLoop* outer = std::exchange(PlanWait, &loop);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    PlanWait = outer;
  });
  return Plans->Finished(key);
}

void TMainForm::actPreviewColorExecute() {
  const auto chosen = Dialogs().ChooseColor(this, LastPreviewColor);
  if (!chosen) return;
  LastPreviewColor = *chosen;
  const TColor color = RGBColor(chosen->red(), chosen->green(), chosen->blue());
  actPreviewColor->SetHint(ColorHintText(color));
  SaveStringToFile(Paths.Work(QStringLiteral("bg.css")), BackgroundCss(color, SystemColor));
  ChangePreviewPage(Doc, Paths, *this, color);
}

void TMainForm::RestorePreviewColor() {
  const std::optional<TColor> kept = ColorFromHintText(actPreviewColor->Hint());
  if (kept) LastPreviewColor = QColor(RedOf(*kept), GreenOf(*kept), BlueOf(*kept));
  actPreviewColor->SetHint(kept ? ColorHintText(*kept) : CommandHint("actPreviewColor"));
}

void TMainForm::BackgroundChanged() {
  TReach b;
  b.Tolerance = spnTolerance->value();
  b.Connected = chkConnected->isChecked();
  b.SoftEdges = chkMatte->isChecked();
  if (b.SoftEdges) b.Matte = RGBColor(LastPreviewColor.red(), LastPreviewColor.green(), LastPreviewColor.blue());
  SetReach(Doc, Paths, *this, b);
}

void TMainForm::imgClick(const QPoint& pos) { PickShownColor(Doc, Paths, *this, img->PixelAt(pos)); }

void TMainForm::chkTransClick() { SetTransparency(Doc, Paths, *this, chkTrans->isChecked()); }

void TMainForm::actAllFramesExecute() {
  if (RealTimePreview() && Doc.ColorCount > 0) actPreviewExecute();
}

void TMainForm::PaletteChoice(uint8_t index, uint8_t, uint8_t, uint8_t) {
  ChoosePaletteEntry(Doc, Paths, *this, index);
}

void TMainForm::actSaveExecute() {
  spd->FileName = ProposedSaveName(windowTitle(), Paths.Work(QStringLiteral("temp.gif")), Doc.OpenedFileName,
                                   spd->FileName);
  TFileDialogOptions o;
  o.Filter = QCoreApplication::translate("MainFormChoice", "GIF画像(*.gif) (*.gif *.GIF)");
  o.DefaultSuffix = QStringLiteral("gif");
  o.FileName = spd->FileName;
  o.OpenedFile = Doc.OpenedFileName;
  const auto chosen = Dialogs().SaveFile(this, o);
  if (!chosen) return;
  spd->FileName = *chosen;
  if (const TPlanResult* plan = AwaitPlan()) {
    SavePlanned(*plan, *this, *chosen, OpenedSize);
    stb->showMessage(SavedText(*chosen, CheckFileSize(*chosen), plan->Plan.Frames), kSaidMs);
  }
}

void TMainForm::ShowPickedColor(TColor color, const QString& hint) {
  shp->SetColor(QColor(RedOf(color), GreenOf(color), BlueOf(color)));
  if (!hint.isEmpty()) shp->setToolTip(hint);
}

std::optional<TShownPixel> TMainForm::CornerPixel() {
  if (img->Picture().isNull()) return std::nullopt;
  return img->PixelAt(img->ViewPointOf(QPoint(0, 0)));
}

bool TMainForm::RealTimePreview() const { return actRealTime->isChecked(); }

bool TMainForm::TransparencyChecked() const { return chkTrans->isChecked(); }

bool TMainForm::AllFrames() const { return actAllFrames->isChecked(); }
