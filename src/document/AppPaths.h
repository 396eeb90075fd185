#pragma once
// Where the program and its working files live.
#include <QString>

struct TAppPaths {
  QString AppDir;   // directory of the executable, with a trailing "/"
  QString DataDir;  // working files, with a trailing "/"

  QString Data(const QString& name) const { return DataDir + name; }

  // Portable when the program directory is writable and not an installed
  // bin/; otherwise the working files go to $XDG_DATA_HOME/tomaru/data/
  // (default ~/.local/share/...).
  static TAppPaths ForAppDir(const QString& appDir);
};

// An installed program's directories for what it ships, found relative to the
// program directory (bin/): the plug-ins under lib/, the help file under
// share/. Both end in "/".
QString InstalledPluginDir(const QString& appDir);
QString InstalledDataDir(const QString& appDir);

// The program directory is the bin/ of an installed layout: its share
// directory exists. Such a program never writes beside itself, even as root.
bool IsInstalledAppDir(const QString& appDir);

// A file the program ships: beside the program (the build tree, a portable
// copy) when it is there, else in the installed directory when it is there,
// else beside the program.
QString ShippedFile(const QString& appDir, const QString& installedDir, const QString& name);
