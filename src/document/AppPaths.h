#pragma once
// Where the program and its working files live.
#include <QString>

struct TAppPaths {
  QString AppDir;   // directory of the executable, with a trailing "/"
  QString DataDir;  // working files, with a trailing "/"

  QString Data(const QString& name) const { return DataDir + name; }

  // Portable when the program directory is writable; otherwise the working
  // files go to $XDG_DATA_HOME/tomaru/data/ (default ~/.local/share/...).
  static TAppPaths ForAppDir(const QString& appDir);
};
