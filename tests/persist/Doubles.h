#pragma once
// Plain objects with the object names and published properties of the main
// window's persisted components, and a few with other property types.
#include <QObject>
#include <QRect>

#include "persist/SaveProp.h"

class TFakeAction : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool Checked MEMBER Checked)
  Q_PROPERTY(QString Hint MEMBER Hint)
 public:
  TFakeAction(const char* name, QObject* owner, bool checked = false) : QObject(owner), Checked(checked) {
    setObjectName(QLatin1String(name));
  }
  bool Checked = false;
  QString Hint;
};

class TFakeDialog : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString FileName MEMBER FileName)
 public:
  TFakeDialog(const char* name, QObject* owner) : QObject(owner) { setObjectName(QLatin1String(name)); }
  QString FileName;
};

class TFakeForm : public QObject {
  Q_OBJECT
  Q_PROPERTY(int ClientWidth MEMBER ClientWidth)
  Q_PROPERTY(int ClientHeight MEMBER ClientHeight)
  Q_PROPERTY(int Left MEMBER Left)
  Q_PROPERTY(int Top MEMBER Top)
  Q_PROPERTY(int WindowState MEMBER WindowState)
 public:
  explicit TFakeForm(QObject* parent = nullptr) : QObject(parent) { setObjectName(QStringLiteral("MainForm")); }
  int ClientWidth = 730, ClientHeight = 543, Left = 202, Top = 134, WindowState = 0;
};

// A form that can keep its placement.
class TFakePlacementForm : public QObject, public TPlacementForm {
  Q_OBJECT
 public:
  TFakePlacementForm() { setObjectName(QStringLiteral("MainForm")); }
  QRect Normal{10, 20, 300, 200};
  int State = 0;
  int Applied = 0;
  QRect AppliedRect;
  int AppliedState = -1;
  QRect NormalRect() const override { return Normal; }
  int PlacementState() const override { return State; }
  void ApplyPlacement(const QRect& normal, int state) override {
    ++Applied;
    AppliedRect = normal;
    AppliedState = state;
  }
};

class TFakeFont : public QObject {
  Q_OBJECT
 public:
  enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4 };
  Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
  Q_FLAG(TFontStyles)
  enum TPitch { fpDefault, fpVariable, fpFixed };
  Q_ENUM(TPitch)
 private:
  Q_PROPERTY(QString Name MEMBER Name)
  Q_PROPERTY(int Size MEMBER Size)
  Q_PROPERTY(TFontStyles Style READ GetStyle WRITE SetStyle)
  Q_PROPERTY(TPitch Pitch MEMBER Pitch)
  Q_PROPERTY(double Height MEMBER Height)
  Q_PROPERTY(bool Strike MEMBER Strike)

 public:
  using QObject::QObject;
  QString Name = QStringLiteral("Tahoma");
  int Size = 8;
  TFontStyles Style;
  TFontStyles GetStyle() const { return Style; }
  void SetStyle(TFontStyles s) { Style = s; }
  TPitch Pitch = fpDefault;
  double Height = 1.5;
  bool Strike = false;
};

// A component with one property of each kind, and a font as its object.
class TFakeControl : public QObject {
  Q_OBJECT
  Q_PROPERTY(QObject* Font READ Font)
  Q_PROPERTY(double Ratio MEMBER Ratio)
  Q_PROPERTY(qint64 Big MEMBER Big)
  Q_PROPERTY(QChar Letter MEMBER Letter)
  Q_PROPERTY(uint Mask MEMBER Mask)
  Q_PROPERTY(QRect Bounds MEMBER Bounds)
 public:
  TFakeControl(const char* name, QObject* owner) : QObject(owner) {
    setObjectName(QLatin1String(name));
    FontObject.setParent(this);
  }
  QObject* Font() { return &FontObject; }
  TFakeFont FontObject;
  double Ratio = 0.25;
  qint64 Big = 0;
  QChar Letter = QLatin1Char('A');
  uint Mask = 0;
  QRect Bounds;
};
