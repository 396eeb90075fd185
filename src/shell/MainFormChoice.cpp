// Choosing the transparent colour, previewing it and saving.
#include <QCheckBox>
#include <QWebEngineView>

#include "document/Eyedropper.h"
#include "document/FileOps.h"
#include "document/SaveName.h"
#include "preview/PreviewColor.h"
#include "shell/Dialogs.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/Shape.h"
#include "shell/SystemColors.h"

void TMainForm::Preview() {
  const QUrl url = QUrl::fromLocalFile(Paths.Data(QStringLiteral("preview.html")));
  if (!wb) return;
  // A reload that bypasses the cache, so a rewritten _.gif or bg.css shows.
  if (wb->url() == url)
    wb->page()->triggerAction(QWebEnginePage::ReloadAndBypassCache);
  else
    wb->setUrl(url);
}

void TMainForm::actPreviewExecute() {
  QByteArray copy = Doc.GifData;
  Doc.PatchTransparency(copy);
  SaveStringToFile(Paths.Data(QStringLiteral("_.gif")), copy);
  Preview();
}

void TMainForm::actPreviewColorExecute() {
  const auto chosen = Dialogs().ChooseColor(this, LastPreviewColor);
  if (!chosen) return;
  LastPreviewColor = *chosen;
  const TColor color = RGBColor(chosen->red(), chosen->green(), chosen->blue());
  actPreviewColor->SetHint(ColorHintText(color));
  SaveStringToFile(Paths.Data(QStringLiteral("bg.css")), BackgroundCss(color, SystemColor));
  Preview();
}

void TMainForm::imgClick(const QPoint& pos) {
  const QColor seen = img->ShownColorAt(pos);
  const uint8_t r = seen.red(), g = seen.green(), b = seen.blue();
  shp->SetColor(QColor(r, g, b));
  shp->setToolTip(PickedColorHint(r, g, b));
  if (Doc.ColorCount == 0) return;
  const TPaletteMatch match = NearestPaletteEntry(Doc, r, g, b);
  SetMsg(6, MatchPanelText(match));
  Doc.TransparentIndex = uint8_t(match.Index);
  if (actRealTime->isChecked() && chkTrans->isChecked()) actPreviewExecute();
}

void TMainForm::chkTransClick() {
  Doc.TransparentOn = chkTrans->isChecked();
  if (actRealTime->isChecked()) actPreviewExecute();
}

void TMainForm::PaletteChoice(uint8_t index, uint8_t red, uint8_t green, uint8_t blue) {
  shp->SetColor(QColor(red, green, blue));
  Doc.TransparentOn = true;
  Doc.TransparentIndex = index;
  SetMsg(6, QString::number(index));
}

void TMainForm::actSaveExecute() {
  spd->FileName = ProposedSaveName(windowTitle(), Paths.Data(QStringLiteral("temp.gif")), Doc.OpenedFileName,
                                   spd->FileName);
  TFileDialogOptions o;
  o.Filter = QStringLiteral("GIF画像(*.gif) (*.gif *.GIF)");
  o.DefaultSuffix = QStringLiteral("gif");
  o.FileName = spd->FileName;
  const auto chosen = Dialogs().SaveFile(this, o);
  if (!chosen) return;
  spd->FileName = *chosen;
  Doc.PatchTransparency(Doc.GifData);
  SaveStringToFile(*chosen, Doc.GifData);
}
