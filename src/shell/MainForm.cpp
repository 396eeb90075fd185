#include "shell/MainForm.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <cerrno>
#include <utility>

#include "document/Exception.h"
#include "document/FileOps.h"
#include "document/FramesPanel.h"
#include "persist/IniSaveProps.h"
#include "persist/SetAside.h"
#include "plugins/PluginListing.h"
#include "plugins/SPIs.h"
#include "preview/DataBind.h"
#include "preview/PreviewFiles.h"
#include "shell/AboutBox.h"
#include "shell/AlphaJob.h"
#include "shell/CommandTable.h"
#include "shell/Design.h"
#include "shell/Dialogs.h"
#include "shell/ErrorReport.h"
#include "shell/HelpViewer.h"
#include "shell/Icons.h"
#include "shell/ImageView.h"
#include "persist/RecentFiles.h"
#include "shell/Palette.h"
#include "shell/Shape.h"
#include "shell/StartHint.h"
#include "shell/StatusPanel.h"

namespace {

const char* const kCaption = "Tomaru ver1.00";
const int kMinimumHeight = 320;

struct TPanelDef {
  int Width;
  Qt::Alignment Align;
  const char* Longest;  // the widest text the panel shows whole
};
// The file name gives up some of its room to the frame count of animations;
// a name too long for it is shortened, whole in its tooltip.
const TPanelDef kPanels[StatusPanelCount] = {{150, Qt::AlignLeft, "JPEG->GIF 100% Complete"},
                              {80, Qt::AlignCenter, "height : 65535"},
                              {80, Qt::AlignCenter, "Width : 65535"},
                              // the opened size, and the saved one when frames are written anew
                              {80, Qt::AlignCenter, "999KB→999.9MB"},
                              {60, Qt::AlignCenter, QT_TRANSLATE_NOOP("MainForm", "透過済み")},
                              {50, Qt::AlignCenter, QT_TRANSLATE_NOOP("MainForm", "256 色")},
                              {40, Qt::AlignCenter, "*255"},
                              {32, Qt::AlignCenter, "×8"},
                              {100, Qt::AlignLeft, QT_TRANSLATE_NOOP("MainForm", "透過 999/999 (書換 99, 減色 99)")}};

// A command's hint shows beside it whenever it is highlighted, by the mouse
// or by the arrow keys (Qt's own menu tooltips answer the mouse only).
void ShowHintsWhileWalking(QMenu* menu) {
  menu->setToolTipsVisible(true);
  QObject::connect(menu, &QMenu::hovered, menu, [menu](QAction* a) {
    // After the menu has done its own tooltip bookkeeping for the new item.
    QTimer::singleShot(0, menu, [menu, a] {
      if (!menu->isVisible() || menu->activeAction() != a) return;
      const QString hint = a->statusTip();
      if (hint.isEmpty()) {
        QToolTip::hideText();
        return;
      }
      const QRect place = menu->actionGeometry(a);
      QToolTip::showText(menu->mapToGlobal(QPoint(place.right() + 4, place.top())), hint, menu);
    });
  });
}

template <typename W>
W* Named(W* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

}  // namespace
QString DefaultAppDir() { return QCoreApplication::applicationDirPath() + QLatin1Char('/'); }

TMainForm::TMainForm(const QString& appDir, QWidget* parent) : QMainWindow(parent) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QString::fromUtf8(kCaption));
  AppDir = appDir.isEmpty() ? DefaultAppDir() : appDir;
  Paths = TAppPaths::ForAppDir(AppDir);
  AppDir = Paths.AppDir;
  dbpreview = new TDataBind(this);
  dbpreview->setObjectName(QStringLiteral("dbpreview"));
  {
    QByteArray block = PreviewTemplate;
    QBuffer buffer(&block);
    buffer.open(QIODevice::ReadOnly);
    dbpreview->Data()->LoadDataFromStream(buffer);
  }
  opd = Named(new TDialogState(this), "opd");
  Subtra = Named(new TReduceState(this), "Subtra");
  spd = Named(new TDialogState(this), "spd");
  Commands = CreateCommands(this);
  for (TAction* a : Commands) addAction(a);
  actRatio1 = Command("actRatio1");
  actRatio2 = Command("actRatio2");
  actRatio3 = Command("actRatio3");
  actRatio4 = Command("actRatio4");
  actRatio6 = Command("actRatio6");
  actRatio8 = Command("actRatio8");
  actOpen = Command("actOpen");
  actRealTime = Command("actRealTime");
  actShowPaletteSync = Command("actShowPaletteSync");
  actShowPalette = Command("actShowPalette");
  actSave = Command("actSave");
  actClose = Command("actClose");
  actFullScreen = Command("actFullScreen");
  actPreview = Command("actPreview");
  actSusie = Command("actSusie");
  actAbout = Command("actAbout");
  actHelp = Command("actHelp");
  actPreviewColor = Command("actPreviewColor");
  actClassic = Command("actClassic");
  actDeleteRecentFile = Command("actDeleteRecentFile");
  actAllFrames = Command("actAllFrames");
  actSideBySide = Command("actSideBySide");
  setWindowIcon(ProgramIcon());
  ApplyCommandIcons(this);

  Plans = std::make_unique<TPlanJob>(TPlanJob::TCalls{
      [this](int done, int count) {
        SetMsg(PanelFrames, JudgingText(done, count));
        SetMsg(PanelFileSize, PendingSizeText(OpenedSize));  // the size of an abandoned choice is no answer
      },
      [this](const TPlanResult& result) { Guarded([&] { PlanDone(result); }); },
      [this] {
        if (PlanWait) PlanWait->quit();
      }});
  AlphaCopies = std::make_unique<TAlphaJob>(TAlphaJob::TCalls{
      [this](int done, int count) {
        SetMsg(PanelFrames, JudgingText(done, count));
        SetMsg(PanelFileSize, PendingSizeText(OpenedSize));
      },
      [this](const TAlphaOutcome& outcome) { Guarded([&] { AlphaCopyDone(outcome); }); }});
  CreateComponents();
  CreateMenus();
  CreateToolbar();
  CreateStatusBar();
  CreatePropertyStore();
  ConnectCommands();
  // The smallest window still shows both swatches, the second row of the strip
  // and every status panel whole.
  pnlTopMain->setMinimumWidth(qMax(shp->geometry().right(), cboFormat->geometry().right()) + 12);
  const int statusWidth = stb->layout() ? stb->layout()->minimumSize().width() : 0;
  setMinimumSize(qMax(statusWidth, pnlTopMain->minimumWidth()), kMinimumHeight);
  resize(730, 543);
  move(202, 134);
  // The plug-ins are found before the rest of start-up. One that loads but
  // lacks an export is reported once; start-up goes on with those found before it.
  SPIs1 = new TSPIs(this);
  SPIs1->setObjectName(QStringLiteral("SPIs1"));
  SPIs1->AppDir = AppDir;
  // Installed, the shipped plug-in is not beside the program but under lib/.
  SPIs1->SearchOptions.insert(spsSystemDir);
  Guarded([this] { SPIs1->Loaded(); });
  // The files the search passed over are named once, when the window is up.
  if (const QString skipped = SkippedPluginsText(*SPIs1); !skipped.isEmpty())
    QTimer::singleShot(0, this, [this, skipped] { Dialogs().ShowMessage(this, skipped); });
  Guarded([this] { FormCreate(); });
  Palette = new TPalette(Doc, this);
  Palette->OnChoose = [this](uint8_t index, uint8_t r, uint8_t g, uint8_t b) {
    Guarded([&] { PaletteChoice(index, r, g, b); });
  };
  Palette->OnHelp = [this] { OpenHelp2(Palette, QStringLiteral("palette(function)")); };
}

TMainForm::~TMainForm() {
  Plans.reset();  // its thread ends before the files it could be planning for go
  AlphaCopies.reset();
  RemoveWorkFolder(Paths.WorkDir);
}

bool TMainForm::RunBusy(const std::function<void()>& work) {
  Busy = true;
  const auto end = [this] {
    Busy = false;
    const bool close = std::exchange(CloseAsked, false);
    if (close) QTimer::singleShot(0, this, &QWidget::close);
    return !close;
  };
  try {
    work();
  } catch (...) {
    end();
    throw;
  }
  return end();
}

TAction* TMainForm::Command(const char* name) const {
  for (TAction* a : Commands)
    if (a->objectName() == QLatin1String(name)) return a;
  return nullptr;
}

void TMainForm::CreateComponents() {
  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  pnlTopMain = Named(new QWidget(central), "pnlTopMain");
  pnlTopMain->setAutoFillBackground(true);
  chkTrans = Named(new QCheckBox(QCoreApplication::translate("MainForm", "背景透過(&T)"), pnlTopMain), "chkTrans");
  // As designed, or wider where the language's text needs it.
  chkTrans->setGeometry(9, 8, qMax(89, chkTrans->sizeHint().width()), 17);
  chkTrans->setToolTip(QCoreApplication::translate("MainForm", "背景を透過させたいのであればこのﾁｪｯｸを入れて下さい。"));
  MarkFocusByMnemonic(chkTrans);
  Label1 = Named(new QLabel(QCoreApplication::translate("MainForm", "読み込み時の透過色"), pnlTopMain), "Label1");
  Label1->move(145, 10);
  shpDefault = Named(new TShape(pnlTopMain), "shpDefault");
  shpDefault->move(259, 7);
  shpDefault->setToolTip(QCoreApplication::translate("MainForm", "読み込んだGIF画像が透過済みの場合のみ表示されます。"));
  Label2 = Named(new QLabel(QCoreApplication::translate("MainForm", "適応したい透過色"), pnlTopMain), "Label2");
  Label2->move(304, 10);
  shp = Named(new TShape(pnlTopMain), "shp");
  shp->move(403, 7);
  // Nothing transparent before a picture.
  shp->SetColor(std::nullopt);
  shpDefault->SetColor(std::nullopt);
  shp->setToolTip(
      QCoreApplication::translate("MainForm", "現在透過を試みている色です。ﾌﾟﾚﾋﾞｭｰすると、この色を透過色として右ﾍﾟｲﾝに表示してくれます。"));
  // A second row under the first: each control as wide as its text in the
  // interface's language.
  lblTolerance = Named(new QLabel(QCoreApplication::translate("MainForm", "許容度(&O)"), pnlTopMain), "lblTolerance");
  spnTolerance = Named(new QSpinBox(pnlTopMain), "spnTolerance");
  spnTolerance->setRange(0, kMaxTolerance);
  spnTolerance->setSuffix(QCoreApplication::translate("MainForm", "%"));
  lblTolerance->setBuddy(spnTolerance);
  chkConnected = Named(new QCheckBox(QCoreApplication::translate("MainForm", "背景だけ(ﾌﾁからつながった部分)(&B)"), pnlTopMain),
                       "chkConnected");
  chkMatte = Named(new QCheckBox(QCoreApplication::translate("MainForm", "ﾌﾁをなめらかに(&E)"), pnlTopMain),
                   "chkMatte");
  const QString toleranceHint = QCoreApplication::translate(
      "MainForm", "選んだ色に近い色も透過させます。0% は選んだ色だけで、大きくするほど離れた色まで透過します。");
  lblTolerance->setToolTip(toleranceHint);
  spnTolerance->setToolTip(toleranceHint);
  chkConnected->setToolTip(QCoreApplication::translate(
      "MainForm", "画像のﾌﾁからつながった部分だけを透過させます。絵の中の同じ色(目の白い所など)は残ります。"));
  chkMatte->setToolTip(QCoreApplication::translate(
      "MainForm", "透過した部分とのﾌﾁをなめらかにします。GIFではﾌﾁの色をﾌﾟﾚﾋﾞｭｰ時の背景色(表示ﾒﾆｭｰで設定)になじむように"
                  "塗り替えます。WebPとPNGではﾌﾁを半透明のまま残すので、どの背景色でもなめらかです。"));
  lblFormat = Named(new QLabel(QCoreApplication::translate("MainForm", "形式(&M)"), pnlTopMain), "lblFormat");
  cboFormat = Named(new QComboBox(pnlTopMain), "cboFormat");
  cboFormat->addItems({QStringLiteral("GIF"), QStringLiteral("WebP"), QStringLiteral("PNG")});
  lblFormat->setBuddy(cboFormat);
  const QString formatHint = QCoreApplication::translate(
      "MainForm", "保存とﾌﾟﾚﾋﾞｭｰの形式です。WebP(ｱﾆﾒｰｼｮﾝも可)とPNG(1ｺﾏ)は、ﾌﾁの半透明をそのまま持てます。");
  lblFormat->setToolTip(formatHint);
  cboFormat->setToolTip(formatHint);
  int x = 9;
  const int rowTop = 31, rowHeight = qMax(spnTolerance->sizeHint().height(), chkConnected->sizeHint().height());
  for (QWidget* w : std::initializer_list<QWidget*>{lblTolerance, spnTolerance, chkConnected, chkMatte, lblFormat, cboFormat}) {
    w->adjustSize();
    w->move(x, rowTop + (rowHeight - w->height()) / 2);
    x += w->width() + (w == lblTolerance || w == lblFormat ? 4 : 16);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{lblTolerance, chkConnected, chkMatte, lblFormat}) MarkFocusByMnemonic(w);
  pnlTopMain->setFixedHeight(rowTop + rowHeight + 5);
  column->addWidget(pnlTopMain);

  auto* panes = new QWidget(central);
  auto* row = new QHBoxLayout(panes);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  scbLeft = Named(new QScrollArea(panes), "scbLeft");
  scbLeft->setBackgroundRole(QPalette::Base);
  // Tab goes to the picture, which scrolls itself, not to its pane.
  scbLeft->setFocusPolicy(Qt::NoFocus);
  auto* leftCanvas = new TPictureCanvas;
  img = Named(new TImageView(leftCanvas), "img");
  img->move(TPictureCanvas::Margin, TPictureCanvas::Margin);
  scbLeft->setWidget(leftCanvas);
  scbLeft->setWidgetResizable(false);
  StartHint = new TStartHint(scbLeft->viewport());
  connect(StartHint, &TStartHint::Chosen, this, [this](const QString& path) { Guarded([&] { RFClick(path); }); });
  row->addWidget(scbLeft);

  scbRight = Named(new QWidget(panes), "scbRight");
  auto* rightLayout = new QVBoxLayout(scbRight);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  wb = Named(new TPreviewView(scbRight), "wb");
  rightLayout->addWidget(wb);
  row->addWidget(scbRight, 1);
  column->addWidget(panes, 1);
  setCentralWidget(central);

  // Tab follows the strip as it reads: the check box, the row under it, then
  // the picture.
  for (auto [from, to] : {std::pair<QWidget*, QWidget*>{chkTrans, spnTolerance}, {spnTolerance, chkConnected},
                          {chkConnected, chkMatte}, {chkMatte, cboFormat}, {cboFormat, img}})
    QWidget::setTabOrder(from, to);
  connect(img, &TImageView::Clicked, this, [this](const QPoint& pos) { Guarded([&] { imgClick(pos); }); });
  connect(chkTrans, &QCheckBox::clicked, this, [this] { Guarded([this] { chkTransClick(); }); });
  // Also when the settings are read back: the document follows the strip.
  const auto background = [this] { Guarded([this] { BackgroundChanged(); }); };
  connect(spnTolerance, &QSpinBox::valueChanged, this, background);
  connect(chkConnected, &QCheckBox::toggled, this, background);
  connect(chkMatte, &QCheckBox::toggled, this, background);
  connect(cboFormat, &QComboBox::currentIndexChanged, this, [this] { Guarded([this] { FormatChanged(); }); });
}

void TMainForm::CreateMenus() {
  tbdTop = Named(new QWidget(this), "tbdTop");
  tbdTop->setAutoFillBackground(true);
  auto* dock = new QVBoxLayout(tbdTop);
  dock->setContentsMargins(0, 0, 0, 1);
  dock->setSpacing(0);
  tbtMainMenu = Named(new QMenuBar(tbdTop), "tbtMainMenu");
  tbtMainMenu->setNativeMenuBar(false);
  dock->addWidget(tbtMainMenu);

  QMenu* file = tbtMainMenu->addMenu(QCoreApplication::translate("MainForm", "ﾌｧｲﾙ(&F)"));
  file->addAction(actOpen);
  file->addAction(actSave);
  file->addSeparator();
  mnusubRecentFile = Named(new TRecentMenu(QCoreApplication::translate("MainForm", "最近開いたﾌｧｲﾙ(&R)"), actDeleteRecentFile, file),
                           "mnusubRecentFile");
  file->addMenu(mnusubRecentFile);
  connect(mnusubRecentFile, &TRecentMenu::Chosen, this,
          [this](const QString& path) { Guarded([&] { RFClick(path); }); });
  file->addSeparator();
  file->addAction(actClose);

  QMenu* view = tbtMainMenu->addMenu(QCoreApplication::translate("MainForm", "表示(&V)"));
  view->addAction(actRealTime);
  view->addAction(actShowPaletteSync);
  view->addAction(actAllFrames);
  view->addSeparator();
  view->addAction(actShowPalette);
  view->addAction(actPreview);
  view->addSeparator();
  view->addAction(actPreviewColor);
  view->addAction(actSideBySide);
  view->addSeparator();
  view->addAction(actClassic);
  view->addAction(actFullScreen);

  QMenu* ratio = tbtMainMenu->addMenu(QCoreApplication::translate("MainForm", "倍率(&R)"));
  for (TAction* a : {actRatio1, actRatio2, actRatio3, actRatio4, actRatio6, actRatio8}) ratio->addAction(a);

  QMenu* help = tbtMainMenu->addMenu(QCoreApplication::translate("MainForm", "ﾍﾙﾌﾟ(&H)"));
  help->addAction(actHelp);
  help->addAction(actSusie);
  help->addSeparator();
  help->addAction(actAbout);
  for (QMenu* m : {file, view, ratio, help, static_cast<QMenu*>(mnusubRecentFile)}) ShowHintsWhileWalking(m);
  setMenuWidget(tbdTop);
}

void TMainForm::CreateToolbar() {
  tbtRatio = Named(new QToolBar(QCoreApplication::translate("MainForm", "表示／倍率"), tbdTop), "tbtRatio");
  tbtRatio->setMovable(false);
  tbtRatio->setIconSize(QSize(16, 16));
  // Icons; the zoom buttons have none and show their caption.
  tbtRatio->setToolButtonStyle(Qt::ToolButtonIconOnly);
  btnOpen = Named(new QToolButton(tbtRatio), "btnOpen");
  btnOpen->setDefaultAction(actOpen);
  btnOpen->setMenu(mnusubRecentFile);
  btnOpen->setPopupMode(QToolButton::MenuButtonPopup);
  btnOpen->setFocusPolicy(Qt::NoFocus);  // as the toolbar's own buttons: Ctrl+O does its work
  tbtRatio->addWidget(btnOpen);
  const auto addButton = [this](TAction* a, const char* name) {
    tbtRatio->addAction(a);
    Named(tbtRatio->widgetForAction(a), name);
  };
  addButton(actSave, "btnSave");
  tbtRatio->addSeparator();
  addButton(actShowPalette, "btnShowPalette");
  addButton(actPreviewColor, "btnPreviewColor");
  addButton(actPreview, "btnPreview");
  tbtRatio->addSeparator();
  addButton(actRatio1, "btnRatio1");
  addButton(actRatio2, "btnRatio2");
  addButton(actRatio3, "btnRatio3");
  addButton(actRatio4, "btnRatio4");
  addButton(actRatio6, "btnRatio6");
  addButton(actRatio8, "btnRatio8");
  // Only as wide as its buttons, so the dock's tile shows beside it.
  static_cast<QVBoxLayout*>(tbdTop->layout())->addWidget(tbtRatio, 0, Qt::AlignLeft);
  tbdTop->setFixedHeight(qMax(51, tbdTop->sizeHint().height()));
  actClassicExecute();  // the modern design, the designed state
}

void TMainForm::CreateStatusBar() {
  stb = Named(new QStatusBar(this), "stb");
  stb->setSizeGripEnabled(false);
  for (int i = 0; i < StatusPanelCount; ++i) {
    auto* panel = new TStatusPanel(kPanels[i].Width, QCoreApplication::translate("MainForm", kPanels[i].Longest), stb);
    panel->setObjectName(QStringLiteral("stbPanel%1").arg(i));
    panel->setAlignment(kPanels[i].Align | Qt::AlignVCenter);
    stb->addWidget(panel);
    Panels[i] = panel;
  }
  Panels[PanelZoom]->setText(QStringLiteral("×1"));
  Panels[PanelTransparency]->setToolTip(QCoreApplication::translate(
      "MainForm", "開いたときのﾌｧｲﾙが透過済みかどうかです。保存で透過させる色は「適応したい透過色」に表示されます。"));
  // As high as the panels need (19 with a small font), never less.
  stb->setFixedHeight(qMax(19, Panels[0]->TextHeight() + 3));
  setStatusBar(stb);
}

// The store of the settings that survive a restart, items in file order.
void TMainForm::CreatePropertyStore() {
  isp = new TIniSaveProps(this);
  isp->setObjectName(QStringLiteral("isp"));
  isp->SetAutoLoad(false);
  isp->SetAutoSave(false);
  TProps& p = isp->Props();
  p.Add(actRealTime, QStringLiteral("Checked"));
  p.Add(actShowPaletteSync, QStringLiteral("Checked"));
  p.Add(this, QStringLiteral("ClientWidth"));
  p.Add(this, QStringLiteral("ClientHeight"));
  p.Add(this, QStringLiteral("Left"));
  p.Add(this, QStringLiteral("Top"));
  p.Add(this, QStringLiteral("WindowState"));
  p.Add(actPreviewColor, QStringLiteral("Hint"));
  p.Add(opd, QStringLiteral("FileName"));
  p.Add(spd, QStringLiteral("FileName"));
  p.Add(actClassic, QStringLiteral("Checked"));
  p.Add(actAllFrames, QStringLiteral("Checked"));
  p.Add(Subtra, QStringLiteral("ReduceBits"));
  p.Add(Subtra, QStringLiteral("Dither"));
  // Read back only in range: a hostile file leaves the defaults.
  p.Add(spnTolerance, QStringLiteral("Value"))->SetRange(0, kMaxTolerance);
  p.Add(chkConnected, QStringLiteral("Checked"))->SetRange(0, 1);
  p.Add(chkMatte, QStringLiteral("Checked"))->SetRange(0, 1);
  p.Add(cboFormat, QStringLiteral("CurrentIndex"))->SetRange(0, kSaveFormatCount - 1);
  p.Add(actSideBySide, QStringLiteral("Checked"));
}

void TMainForm::ConnectCommands() {
  const auto on = [this](TAction* a, auto handler) {
    connect(a, &QAction::triggered, this, [handler] { Guarded(handler); });
  };
  on(actOpen, [this] { actOpenExecute(); });
  on(actClose, [this] { actCloseExecute(); });
  on(actShowPalette, [this] { actShowPaletteExecute(); });
  on(actFullScreen, [this] { actFullScreenExecute(); });
  on(actPreview, [this] { actPreviewExecute(); });
  on(actPreviewColor, [this] { actPreviewColorExecute(); });
  on(actSave, [this] { actSaveExecute(); });
  on(actSusie, [this] { actSusieExecute(); });
  on(actHelp, [this] { actHelpExecute(); });
  on(actAbout, [this] { actAboutExecute(); });
  on(actClassic, [this] { actClassicExecute(); });
  on(actDeleteRecentFile, [this] { actDeleteRecentFileExecute(); });
  on(actAllFrames, [this] { actAllFramesExecute(); });
  on(actSideBySide, [this] { actSideBySideExecute(); });
  // actRealTime and actShowPaletteSync are checkable: triggering them flips
  // their mark, which is all their handler does.
  for (TAction* a : {actRatio1, actRatio2, actRatio3, actRatio4, actRatio6, actRatio8})
    on(a, [this, a] { actRatio1Execute(a); });
}

void TMainForm::FormCreate() {
  SetMenu(MenuLevelNoDocument);
  isp->SetFileName(Paths.Data(QStringLiteral("property.ini")));
  const QString setAside = SetAsideOversizedFiles({isp->GetIniFileName(), GetRFName(Paths)});
  if (!setAside.isEmpty()) Dialogs().ShowMessage(this, setAside);
  // A settings file that cannot be read is reported; the start goes on.
  Guarded([this] { isp->Load(); });
  RestorePreviewColor();
  BackgroundChanged();  // the matte follows the page colour read back
  setAcceptDrops(true);
  if (wb) wb->setAcceptDrops(false);  // a file dropped on the preview is ours, not a page to show
  if (actClassic->isChecked()) {
    actClassic->setChecked(false);
    actClassic->trigger();
  }
  // This window's working files go to a folder of its own: another window
  // never shows or removes them. Those of windows that are gone go first.
  RemoveGoneWorkFolders(Paths.DataDir);
  Paths.WorkDir = MakeWorkFolder(Paths.DataDir);
  ForceDirectories(Paths.DataDir);
  EnsurePreviewFiles(Paths, dbpreview->Data()->bytes(), PreviewCss());
  AddRecentFile(QString());
}

void TMainForm::SetMenu(int level) {
  for (TAction* a : Commands) a->setEnabled(a->Tag <= level);
  StartHint->setVisible(level == MenuLevelNoDocument);
  for (QWidget* w : std::initializer_list<QWidget*>{chkTrans, lblTolerance, spnTolerance, chkConnected, chkMatte, lblFormat, cboFormat})
    w->setEnabled(level != 0);
}

void TMainForm::SetMsg(int index, const QString& text) {
  if (index < 0 || index >= int(Panels.size())) return;
  Panels[index]->setText(text);
  // Conversion progress arrives while the handler runs: draw it now.
  Panels[index]->repaint();
}

void TMainForm::actHelpExecute() { ::OpenHelpFile(this, AppDir); }

void TMainForm::OpenHelp2(QWidget* owner, const QString& topic) { ::OpenHelp2(owner, topic, AppDir); }

void TMainForm::actAboutExecute() { ShowAboutBox(this); }

void TMainForm::actSusieExecute() { Dialogs().ShowMessage(this, PluginListingText(*SPIs1)); }

void TMainForm::actOpenExecute() {
  TFileDialogOptions o;
  o.Filter = QCoreApplication::translate("MainForm",
      "GIF/BMP/PNG/JPEG画像(*.gif,*.bmp,*.png,*.jpg,*.jpeg) (*.gif *.bmp *.png *.jpg *.jpeg *.GIF *.BMP *.PNG *.JPG "
      "*.JPEG *.Gif *.Bmp *.Png *.Jpg *.Jpeg)");
  o.DefaultSuffix = QStringLiteral("gif");
  // The open picture's folder first (also when it came from the command line
  // or a drop), else the last one chosen in the dialog.
  o.FileName = Doc.OpenedFileName.isEmpty() ? opd->FileName : Doc.OpenedFileName;
  const auto chosen = Dialogs().OpenFile(this, o);
  if (!chosen) return;
  opd->FileName = *chosen;
  FileOpen(*chosen);
}

void TMainForm::actCloseExecute() { close(); }

void TMainForm::actShowPaletteExecute() {
  // On the entry a save would make transparent, wherever it was chosen.
  if (Doc.ColorCount > 0 && (Doc.ColorChosen || Doc.LoadedTransparent)) Palette->SetPoint(Doc.TransparentIndex);
  Palette->ShowPaletteFocused();
}

void TMainForm::actFullScreenExecute() {
  if (isMaximized())
    showNormal();
  else
    showMaximized();
}

void TMainForm::actRealTimeExecute(TAction* sender) { sender->toggle(); }



// Runs after triggering has flipped the check mark: applies the design it names.
void TMainForm::actClassicExecute() {
  ApplyDesign({tbdTop, tbtMainMenu, tbtRatio, pnlTopMain}, actClassic->isChecked());
}

void TMainForm::actRatio1Execute(QObject* sender) {
  auto* command = qobject_cast<TAction*>(sender);
  if (!command) return;
  for (TAction* a : Commands)
    if (a->objectName().left(8) == QLatin1String("actRatio")) a->setChecked(false);
  command->setChecked(true);
  const QString caption = command->text();
  const QChar last = caption.isEmpty() ? QChar() : caption.back();
  const int factor = last.isDigit() ? last.digitValue() : 1;
  SetMsg(PanelZoom, QStringLiteral("×") + QString::number(factor));
  ZoomFactor = uint8_t(factor);
  img->SetAutoSize(factor == 1);
  img->SetStretch(factor != 1);
  if (factor != 1) img->resize(factor * Doc.ImageWidth, factor * Doc.ImageHeight);
  img->parentWidget()->resize(img->width() + 4, img->height() + 4);
}

int TMainForm::WindowStateOrdinal() const {
  if (windowState() & Qt::WindowMinimized) return 1;
  if (windowState() & Qt::WindowMaximized) return 2;
  return 0;
}

void TMainForm::SetWindowStateOrdinal(int state) {
  setWindowState(state == 2 ? Qt::WindowMaximized : state == 1 ? Qt::WindowMinimized : Qt::WindowNoState);
}

void TMainForm::closeEvent(QCloseEvent* e) {
  // A conversion or a save still running finishes first: the conversion's
  // dialog closes below, and the picture's thread needs the window until it
  // ends.
  if (Busy) {
    e->ignore();
    CloseAsked = true;  // closed once the work has ended
    CloseOtherWindows();
    return;
  }
  // Settings are saved once however often the close is asked for.
  if (!Closed) Guarded([this] { FormClose(); });
  Closed = true;
  e->accept();
  CloseOtherWindows();
}

// Closing the main window ends the program: the palette, the help window and
// any dialog still open (a modal one too) close with it, so no window of
// Tomaru is left to keep the process alive.
void TMainForm::CloseOtherWindows() {
  for (int round = 0; round < 3; ++round) {
    bool any = false;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w == this || !w->isVisible() || w->windowType() == Qt::ToolTip || w->windowType() == Qt::Popup) continue;
      if (auto* dialog = qobject_cast<QDialog*>(w)) dialog->reject();
      if (w->isVisible()) w->close();
      any = true;
    }
    if (!any) break;
  }
}

void TMainForm::showEvent(QShowEvent* e) {
  Closed = false;
  QMainWindow::showEvent(e);
}

bool TMainForm::event(QEvent* e) {
  // Command hints show as tooltips; the status bar keeps the file's facts.
  if (e->type() == QEvent::StatusTip) return true;
  return QMainWindow::event(e);
}

void TMainForm::FormClose() {
  Plans->Cancel();  // nothing more is shown or written in the working folder
  AlphaCopies->Cancel();
  // The settings first; a failure to write them is reported and the
  // temporary files still go.
  Guarded([this] { isp->Save(); });
  if (Paths.WorkDir.isEmpty()) {
    QFile::remove(Paths.Work(QStringLiteral("_.gif")));
    QFile::remove(Paths.Work(QStringLiteral("temp.gif")));
  }
  RemoveWorkFolder(Paths.WorkDir);
}

void TMainForm::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  FormResize();
}

void TMainForm::FormResize() { scbLeft->setFixedWidth(ClientWidth() / 2); }

void TMainForm::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TMainForm::FormActivate() {}
