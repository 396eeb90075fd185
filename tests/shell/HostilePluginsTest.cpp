#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "common/GifFactory.h"
#include "common/TestFiles.h"
#include "plugins/PluginTestFiles.h"
#include "plugins/SPIs.h"
#include "shell/ImageView.h"
#include "shell/MainForm.h"
#include "shell/ScriptedDialogs.h"
#include "shell/TestAppDir.h"

// Every plug-in that breaks the contract, in the user's plug-in directory at
// once: the window still comes up, names the files it passed over in one
// message, and shows GIFs with the program's own plug-in.
TEST(HostilePlugins, AllAtOnceTheWindowStillShowsGifsAndNamesWhatItSkipped) {
  TScriptedDialogs ui;
  TScopedConfig config;
  QTemporaryDir dir;
  const QString susie = dir.filePath(QStringLiteral("susie"));
  QDir().mkpath(susie);
  for (const char* name : {"tp_endless", "tp_overlong", "tp_samehandle", "tp_freed", "tp_shortbits", "tp_noinfo"})
    CopySpi(QString::fromLatin1(name), susie);
  WriteAll(susie + QStringLiteral("/junk.spi"), "not a shared object");
  config.SetSusieDir(susie);

  TMainForm form(MakeAppDir(dir));
  QCoreApplication::processEvents();
  ASSERT_EQ(ui.Messages.size(), 1);
  for (const char* skipped : {"tp_endless.spi", "tp_noinfo.spi", "junk.spi"})
    EXPECT_TRUE(ui.Messages[0].contains(QString::fromLatin1(skipped))) << skipped;
  bool shipped = false;
  for (int i = 0; i < form.SPIs1->Count(); ++i)
    shipped |= form.SPIs1->Items(i)->FileName.endsWith(QStringLiteral("tomaru_gif.spi"));
  EXPECT_TRUE(shipped);

  const QString gif = dir.filePath(QStringLiteral("a.gif"));
  WriteAll(gif, MakeGif(TGifPlan{}));
  form.FileOpen(gif);
  EXPECT_EQ(form.windowTitle(), gif);
  EXPECT_EQ(form.img->Picture().size(), QSize(4, 3));
  EXPECT_EQ(ui.Messages.size(), 1);
}
