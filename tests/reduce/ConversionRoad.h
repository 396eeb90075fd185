#pragma once
// The conversion road as the tests drive it: a view that records what the
// road says and answers the reduction dialog, and a scratch program folder.
#include <QDir>
#include <QImage>
#include <QPair>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "reduce/BmpToGif.h"

class TRecordingBmpView : public TBmpView {
 public:
  void SetMsg(int index, const QString& text) override { Msgs.append({index, text}); }
  void ShowMessage(const QString& text) override { Messages.append(text); }
  std::optional<int> AskReduceBits(int colorCount, const QString& format) override {
    Asked.append(colorCount);
    AskedFormats.append(format);
    return Answer;
  }
  bool Dither() const override { return DitherOn; }

  std::optional<int> Answer = 8;  // the dialog's answer; none: cancelled
  bool DitherOn = true;
  QList<QPair<int, QString>> Msgs;
  QStringList Messages;
  QList<int> Asked;
  QStringList AskedFormats;
};

class TConversionRoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Paths.AppDir = Dir.path() + "/";
    Paths.DataDir = Dir.path() + "/data/";
    QDir().mkpath(Paths.DataDir);
  }
  // The whole road for the picture at path.
  bool Road(const QString& path) { return ConvertBMPFile(path, Paths, View, ReduceBits); }
  QString TempGif() const { return Paths.Work(QStringLiteral("temp.gif")); }
  // A scratch file holding bytes, or the image in the format its name says.
  QString Put(const QString& name, const QByteArray& bytes) {
    WriteAll(Dir.filePath(name), bytes);
    return Dir.filePath(name);
  }
  QString Put(const QString& name, const QImage& image) {
    EXPECT_TRUE(image.save(Dir.filePath(name))) << name.toStdString();
    return Dir.filePath(name);
  }
  // A refused or cancelled conversion leaves the earlier working copy.
  void MarkTempGif() { WriteAll(TempGif(), "earlier"); }
  bool TempGifKept() const { return ReadAll(TempGif()) == "earlier"; }

  QTemporaryDir Dir;
  TAppPaths Paths;
  TRecordingBmpView View;
  uint8_t ReduceBits = 8;
};
