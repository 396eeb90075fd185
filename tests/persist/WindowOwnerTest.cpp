#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

#include "common/TestFiles.h"
#include "persist/Doubles.h"
#include "persist/IniSaveProps.h"

// A window owner is saved when it closes, while all of it still exists.
TEST(WindowOwner, AutoSaveSavesAtClose) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("p.ini"));
  {
    QWidget form;
    form.setObjectName(QStringLiteral("Form"));
    auto* a = new TFakeAction("actRealTime", &form, true);
    auto* isp = new TIniSaveProps(&form);
    isp->SetFileName(path);
    isp->Props().Add(a, QStringLiteral("Checked"));
    isp->Props().Add(&form, QStringLiteral("objectName"));
    form.show();
    EXPECT_FALSE(Exists(path));
    form.close();
    EXPECT_EQ(ReadAll(path), QByteArray("[actRealTime]\r\nChecked=1\r\n\r\n[Form]\r\nobjectName=Form\r\n\r\n"));
  }
  QFile::remove(path);
  {
    QWidget form;
    auto* a = new TFakeAction("actRealTime", &form, true);
    auto* isp = new TIniSaveProps(&form);
    isp->SetFileName(path);
    isp->Props().Add(a, QStringLiteral("Checked"));
    isp->SetAutoSave(false);
    form.show();
    form.close();
  }
  EXPECT_FALSE(Exists(path));
}
