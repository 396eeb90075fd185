#pragma once
// The main window: command table, menus, toolbar, the two panes and the status
// bar. It holds the document and shows what the document logic decides.
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <array>
#include <memory>

#include "document/AppPaths.h"
#include "choice/Choice.h"
#include "choice/PlanJob.h"
#include "document/FileOpen.h"
#include "document/GifDocument.h"
#include "document/SaveName.h"
#include "reduce/BmpToGif.h"
#include "shell/Action.h"
#include "shell/PreviewView.h"
#include "shell/RecentMenu.h"
#include "shell/StatusPanel.h"

class QCheckBox;
class QComboBox;
class TAlphaJob;
struct TAlphaOutcome;
class QEventLoop;
class QSpinBox;
class QMenu;
class QMenuBar;
class QScrollArea;
class QStatusBar;
class QToolBar;
class QToolButton;
class QWebEngineView;
class TDataBind;
class TIniSaveProps;
class TImageView;
class TShape;
class TStartHint;
class TSPIs;
class TPalette;

// The file name a dialog starts from; kept between runs by the property store.
class TDialogState : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString FileName MEMBER FileName)
 public:
  using QObject::QObject;
  QString FileName;
};

// The reduction dialog's last choice; kept between runs by the property store.
class TReduceState : public QObject {
  Q_OBJECT
  Q_PROPERTY(int ReduceBits MEMBER ReduceBits)
  Q_PROPERTY(bool Dither MEMBER Dither)
 public:
  using QObject::QObject;
  int ReduceBits = ReducePicturePalette;  // or 8, 4, 1
  bool Dither = true;
};

class TMainForm : public QMainWindow, public TOpenView, public TChoiceView, public TBmpView {
  Q_OBJECT
  Q_PROPERTY(int ClientWidth READ ClientWidth WRITE SetClientWidth)
  Q_PROPERTY(int ClientHeight READ ClientHeight WRITE SetClientHeight)
  Q_PROPERTY(int Left READ Left WRITE SetLeft)
  Q_PROPERTY(int Top READ Top WRITE SetTop)
  Q_PROPERTY(int WindowState READ WindowStateOrdinal WRITE SetWindowStateOrdinal)

 public:
  // appDir: the program directory; empty means the executable's own.
  explicit TMainForm(const QString& appDir = QString(), QWidget* parent = nullptr);
  ~TMainForm() override;

  // The document and the shell state beside it.
  TGifDocument Doc;
  TAppPaths Paths;
  QString AppDir;
  uint8_t ZoomFactor = 1;

  // Commands, in the order of the command list.
  QList<TAction*> Commands;
  TAction *actRatio1, *actRatio2, *actRatio3, *actRatio4, *actRatio6, *actRatio8;
  TAction *actOpen, *actRealTime, *actShowPaletteSync, *actShowPalette, *actSave, *actClose;
  TAction *actFullScreen, *actPreview, *actSusie, *actAbout, *actHelp, *actPreviewColor;
  TAction *actClassic, *actDeleteRecentFile, *actAllFrames, *actSideBySide;

  // Components.
  QWidget* tbdTop;
  QMenuBar* tbtMainMenu;
  QToolBar* tbtRatio;
  QToolButton* btnOpen;
  TRecentMenu* mnusubRecentFile;
  QWidget* pnlTopMain;
  QCheckBox* chkTrans;
  // How far the choice reaches: near colours, the background joined to the
  // edge only, smooth edges (blended into the preview's page colour in a GIF,
  // partly see-through in WebP and PNG); and the format saved and previewed.
  QLabel* lblTolerance;
  QSpinBox* spnTolerance;
  QCheckBox *chkConnected, *chkMatte;
  QLabel* lblFormat;
  QComboBox* cboFormat;  // in the order of TSaveFormat
  QLabel *Label1, *Label2;
  TShape *shpDefault, *shp;
  QScrollArea* scbLeft;
  TImageView* img;
  TStartHint* StartHint;  // over the empty picture pane until a picture opens
  QWidget* scbRight;
  TPreviewView* wb = nullptr;
  QStatusBar* stb;
  std::array<TStatusPanel*, StatusPanelCount> Panels{};
  TDialogState *opd, *spd;
  TReduceState* Subtra;  // the reduction dialog's choice
  TIniSaveProps* isp;
  TDataBind* dbpreview;
  TSPIs* SPIs1 = nullptr;
  TPalette* Palette = nullptr;

  void SetMenu(int level) override;
  void SetMsg(int index, const QString& text) override;
  QString Msg(int index) const { return Panels[index]->text(); }
  void FileOpen(const QString& fileName);
  void SetPalette();
  void AddRecentFile(const QString& path) override;
  void RFClick(const QString& path);
  void actDeleteRecentFileExecute();
  // The dropped files, in drop order.
  void WMDropFiles(const QStringList& paths);

  // Handlers.
  void actOpenExecute();
  void actCloseExecute();
  void actShowPaletteExecute();
  void actFullScreenExecute();
  void actRealTimeExecute(TAction* sender);
  void actClassicExecute();
  void actRatio1Execute(QObject* sender);
  void actPreviewExecute();
  void actPreviewColorExecute();
  void actSaveExecute();
  void actSusieExecute();
  void actHelpExecute();
  void actAboutExecute();
  void OpenHelp2(QWidget* owner, const QString& topic);
  void imgClick(const QPoint& pos);
  void chkTransClick();
  // The strip's tolerance, region and matte (on the page colour) as the choice's.
  void BackgroundChanged();
  void actAllFramesExecute();
  // The format box or the side-by-side page changed: the preview follows.
  void FormatChanged();
  void actSideBySideExecute();
  TSaveFormat Format() const;
  // The palette window's choice: entry index with its colour; ticks the box
  // and previews as a pick on the picture does.
  void PaletteChoice(uint8_t index, uint8_t red, uint8_t green, uint8_t blue);
  void Preview() override;
  // The background style sheet for the colour chosen last (white until then).
  QByteArray PreviewCss() const;

  // The page colour kept with the settings: the stored hint names it; any
  // other hint (none chosen yet, or a text of another language) leaves white.
  void RestorePreviewColor();

  QColor LastPreviewColor = Qt::white;  // the page colour, where the colour dialog starts
  // Plans saves and previews off the window's thread.
  std::unique_ptr<TPlanJob> Plans;
  QEventLoop* PlanWait = nullptr;  // a save's wait for its plan, while one runs
  // Makes the WebP or PNG working copy off the window's thread.
  std::unique_ptr<TAlphaJob> AlphaCopies;

  int ClientWidth() const { return width(); }
  void SetClientWidth(int w) { resize(w, height()); }
  int ClientHeight() const { return height(); }
  void SetClientHeight(int h) { resize(width(), h); }
  int Left() const { return normalGeometry().isValid() ? normalGeometry().x() : x(); }
  void SetLeft(int x) { setGeometry(x, geometry().y(), width(), height()); }
  int Top() const { return normalGeometry().isValid() ? normalGeometry().y() : y(); }
  void SetTop(int y) { setGeometry(geometry().x(), y, width(), height()); }
  int WindowStateOrdinal() const;
  void SetWindowStateOrdinal(int state);

 protected:
  bool event(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  void CreateComponents();
  void CreateMenus();
  void CreateToolbar();
  void CreateStatusBar();
  void CreatePropertyStore();
  void ConnectCommands();
  void FormCreate();
  void FormClose();
  void FormResize();
  void FormActivate();
  void CloseOtherWindows();

  // The choice road, as the window shows it.
  void ShowPickedColor(TColor color, const QString& hint) override;
  bool RealTimePreview() const override;
  bool TransparencyChecked() const override;
  bool AllFrames() const override;
  void PlanPreview(const TGifDocument& doc, const TAppPaths& paths) override;
  std::optional<TShownPixel> CornerPixel() override;
  void PlanDone(const TPlanResult& result);
  void AlphaCopyDone(const TAlphaOutcome& outcome);
  // The working copy of the chosen format, beside the page.
  QString PreviewCopyName() const;
  // Saves the choice as WebP or PNG into path, the window painting meanwhile.
  void SaveWithAlpha(const QString& path, TSaveFormat format);
  // The plan of the choice as it is now, waited for with the window painting;
  // null when the wait was cut short.
  const TPlanResult* AwaitPlan();
  // Runs work the window waits for; a close asked for meanwhile follows it.
  // False when the window is about to close.
  bool RunBusy(const std::function<void()>& work);

  // The rest of the open road, as the window shows it.
  void SetCaption(const QString& caption) override;
  void ShowMessage(const QString& text) override;
  bool ConvertBMP(const QString& path) override;
  std::optional<int> AskReduceBits(int colorCount, const QString& format) override;
  bool Dither() const override;
  void SizeImageView(int width, int height) override;
  void ShowPalette(const TGifDocument& doc, std::optional<int> selectIndex) override;
  void SetTransChecked(bool checked) override;
  void SetDefaultSwatch(std::optional<TColor> color) override;
  void ShowPaletteIfSync() override;
  bool DecodePicture(const QString& path, QString& whyNot) override;
  void ShowDecodedPicture() override;

  TAction* Command(const char* name) const;

  bool Dropping = false;  // a drop is being opened
  // A picture is being converted, or a save waits for its plan, off the
  // window's thread: the window cannot close before it ends.
  bool Busy = false;
  bool CloseAsked = false;  // the window was closed while busy
  qint64 OpenedSize = -1;   // of the file the open road read
  QImage DecodedPicture;  // decoded by the open road, shown once the rest is in place
  bool Closed = false;    // closed (settings saved) since last shown
};

QString DefaultAppDir();
