#pragma once
// A block of bytes carried inside the program, such as the preview page
// template that start-up writes into the data directory.
#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <functional>

class TBindData : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  std::function<void()> OnChange;

  void LoadDataFromStream(QIODevice& source);
  void SaveDataToStream(QIODevice& target) const;
  void SaveDataToFile(const QString& fileName) const;
  void Assign(const TBindData& source);
  const QByteArray& bytes() const { return Block; }

 private:
  QByteArray Block;
};

class TDataBind : public QObject {
  Q_OBJECT
  Q_PROPERTY(TBindData* Data READ Data)
 public:
  explicit TDataBind(QObject* owner = nullptr) : QObject(owner), FData(new TBindData(this)) {}
  TBindData* Data() const { return FData; }
  void SetData(const TBindData& value) { FData->Assign(value); }

 private:
  TBindData* FData;
};

// The preview page: shows _.gif on the background of bg.css, all three side by side.
extern const QByteArray PreviewTemplate;
