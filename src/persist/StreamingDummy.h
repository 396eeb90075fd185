#pragma once
// An object's stored properties as component text: the object is the
// property Obj of a TStreamingDummy, so the text reads
//   object TStreamingDummy
//     Obj.Size = 12
//     Obj.Name = 'Tahoma'
//   end
#include <QObject>
#include <QStringList>

class TStreamingDummy : public QObject {
  Q_OBJECT
  Q_PROPERTY(QObject* Obj MEMBER Obj)
 public:
  using QObject::QObject;
  QObject* Obj = nullptr;

  // The text lines, first "object TStreamingDummy", last "end".
  QStringList WriteText() const;
  // Sets the properties that Text names; others keep their values. Lines
  // that cannot be used (unknown properties, malformed values) are passed over.
  void ReadText(const QStringList& text);
};
