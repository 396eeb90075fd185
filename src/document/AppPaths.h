#pragma once
// Where the program and its working files live.
#include <QString>

struct TAppPaths {
  QString AppDir;   // directory of the executable, with a trailing "/"
  QString DataDir;  // settings every window shares (property.ini, recent.dat), with a trailing "/"
  // One window's own working files (the preview copy _.gif, preview.html,
  // bg.css, temp.gif), with a trailing "/"; empty: DataDir holds them too.
  QString WorkDir;

  QString Data(const QString& name) const { return DataDir + name; }
  QString Work(const QString& name) const { return (WorkDir.isEmpty() ? DataDir : WorkDir) + name; }

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

// Makes a private working folder for one window (mode 0700, a fresh name),
// under $XDG_RUNTIME_DIR when that is set, else under dataDir; answers it
// with a trailing "/", or empty when neither place takes one. Two windows
// then never share a working file. The folder's lock file stays locked by
// this process until RemoveWorkFolder, or until the process ends in any way.
QString MakeWorkFolder(const QString& dataDir);

// Removes a folder MakeWorkFolder made, with whatever it holds, and lets go
// of its lock.
void RemoveWorkFolder(const QString& workDir);

// Removes the working folders, in both places MakeWorkFolder uses, of windows
// that are gone (killed, crashed, a power cut): those whose lock no process
// holds. A folder is taken as a window's only when it has the working
// folder's name, is a real folder (not a link) owned by this user, and holds
// a lock file that is a regular file of this user; anything else, and any
// folder whose lock is held or cannot be taken, is left as it is. Answers how
// many folders were removed.
int RemoveGoneWorkFolders(const QString& dataDir);
