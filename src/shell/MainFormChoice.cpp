// Choosing the transparent colour, previewing it and saving: the window's
// side of the choice road.
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
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
#include "preview/PreviewPage.h"
#include "shell/AlphaJob.h"
#include "shell/ErrorReport.h"
#include "shell/OffThread.h"
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

TAlphaFormat AlphaFormatOf(TSaveFormat format) {
  return format == TSaveFormat::Png ? TAlphaFormat::Png : TAlphaFormat::WebP;
}

// More than one frame: a PNG cannot hold it. Read from the control blocks alone.
bool IsAnimation(const TGifDocument& doc) {
  TGifEdits edits;
  return doc.PlanPatch(true, edits).Frames > 1;
}
}  // namespace

QByteArray TMainForm::PreviewCss() const {
  return BackgroundCss(RGBColor(LastPreviewColor.red(), LastPreviewColor.green(), LastPreviewColor.blue()), SystemColor);
}

void TMainForm::Preview() {
  EnsurePreviewFiles(Paths, dbpreview->Data()->bytes(), PreviewCss());
  // The page names the working copy of the format chosen, once or on both kinds of page.
  const TColor page = RGBColor(LastPreviewColor.red(), LastPreviewColor.green(), LastPreviewColor.blue());
  const std::optional<TColor> second =
      actSideBySide->isChecked() ? std::optional<TColor>(ContrastingPage(page)) : std::nullopt;
  SaveStringToFile(Paths.Work(QStringLiteral("preview.html")),
                   PreviewPage(dbpreview->Data()->bytes(), PreviewCopyName(), second));
  if (wb) wb->ShowPage(QUrl::fromLocalFile(Paths.Work(QStringLiteral("preview.html"))));
}

void TMainForm::actPreviewExecute() { PlanPreview(Doc, Paths); }

// Judging every frame of a large animation takes seconds: the plan is made
// off the window's thread, which shows its progress and keeps answering.
// The WebP or PNG copy likewise, the latest choice winning.
void TMainForm::PlanPreview(const TGifDocument& doc, const TAppPaths&) {
  if (Format() == TSaveFormat::Gif) {
    AlphaCopies->Cancel();
    Plans->Start(doc, AllFrames(), true);
    return;
  }
  Plans->Cancel();
  if (Format() == TSaveFormat::Png && IsAnimation(doc)) {
    QFile::remove(Paths.Work(PreviewCopyName()));  // no copy of the choice before: the page shows none
    Preview();
    stb->showMessage(PngHoldsOneFrameText(), kSaidMs);
    return;
  }
  AlphaCopies->Start(doc, AllFrames(), AlphaFormatOf(Format()), Paths.Work(PreviewCopyName()));
}

void TMainForm::AlphaCopyDone(const TAlphaOutcome& outcome) {
  if (Format() == TSaveFormat::Gif) return;
  if (!outcome.Error.isEmpty()) {
    SetMsg(PanelFileSize, FileSizeText(OpenedSize));
    SetMsg(PanelFrames, QString());
    stb->showMessage(outcome.Error, kSaidMs);
    return;
  }
  SetMsg(PanelFileSize, FileSizeText(OpenedSize, outcome.Bytes));
  SetMsg(PanelFrames, QString());
  Preview();
}

QString TMainForm::PreviewCopyName() const { return QStringLiteral("_.") + FormatSuffix(Format()); }

TSaveFormat TMainForm::Format() const { return TSaveFormat(qBound(0, cboFormat->currentIndex(), kSaveFormatCount - 1)); }

void TMainForm::FormatChanged() {
  if (Doc.ColorCount > 0) PlanPreview(Doc, Paths);
}

void TMainForm::actSideBySideExecute() {
  if (Doc.ColorCount > 0) Preview();
}

void TMainForm::PlanDone(const TPlanResult& result) {
  // A save shows its own plan; a plan of a file no longer open, or of a
  // format no longer chosen, shows nothing.
  if (!result.Preview || result.Key.Bytes != Doc.GifData.constData() || Format() != TSaveFormat::Gif) return;
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
  // The format chosen first; a name typed with another format's extension wins.
  const QStringList filters{QCoreApplication::translate("MainFormChoice", "GIF画像(*.gif) (*.gif *.GIF)"),
                            QCoreApplication::translate("MainFormChoice", "WebP画像(*.webp) (*.webp *.WEBP)"),
                            QCoreApplication::translate("MainFormChoice", "PNG画像(*.png) (*.png *.PNG)")};
  QStringList ordered = filters;
  ordered.move(int(Format()), 0);
  o.Filter = ordered.join(QStringLiteral(";;"));
  o.DefaultSuffix = FormatSuffix(Format());
  o.FileName = NameInFormat(spd->FileName, Format());
  o.OpenedFile = Doc.OpenedFileName;
  const auto chosen = Dialogs().SaveFile(this, o);
  if (!chosen) return;
  spd->FileName = *chosen;
  if (const std::optional<TSaveFormat> typed = FormatOfName(*chosen)) cboFormat->setCurrentIndex(int(*typed));
  if (Format() != TSaveFormat::Gif) return SaveWithAlpha(*chosen, Format());
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

void TMainForm::SaveWithAlpha(const QString& path, TSaveFormat format) {
  if (format == TSaveFormat::Png && IsAnimation(Doc)) return Dialogs().ShowError(this, ErrorReportText(PngHoldsOneFrameText()));
  TAlphaOutcome outcome;
  const TGifDocument doc = Doc;
  const bool all = AllFrames();
  // Encoding an animation takes seconds: the window paints meanwhile and
  // closes once the file is written.
  RunBusy([&] { RunOffThread([&] { outcome = SaveChoiceWithAlpha(doc, all, AlphaFormatOf(format), path); }); });
  if (!outcome.Error.isEmpty()) return Dialogs().ShowError(this, ErrorReportText(outcome.Error));
  SetMsg(PanelFileSize, FileSizeText(OpenedSize, outcome.Bytes));
  stb->showMessage(SavedText(path, outcome.Bytes, {}), kSaidMs);
}
