#pragma once
// Helpers shared by the plug-in host's tests: where the test plug-ins are,
// data scripts for them, and a private configuration directory.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "plugins/SPI.h"
#include "spi/TestScript.h"

// The built test plug-in "name" (without ".spi").
QString TestSpi(const QString& name);
// Copies a test plug-in into dir as fileName (default: its own name); answers the new path.
QString CopySpi(const QString& name, const QString& dir, const QString& fileName = QString());
// The call log of a loaded test plug-in.
TestCallLog* LogOf(const TSPI& spi);

// An 8-bit 4 x 3 picture filled with index 7, which every test plug-in accepts.
TestScript PictureScript();
// The script as data, after `skip` bytes of 0xEE, padded with 0xEE to `size` bytes.
QByteArray ScriptData(const TestScript& script, int skip = 0, int size = 0);

// Points $XDG_CONFIG_HOME at a private directory for the life of the object;
// SetSusieDir writes the Path line there.
class TScopedConfig {
 public:
  TScopedConfig();
  ~TScopedConfig();
  void SetSusieDir(const QString& dir);

 private:
  QTemporaryDir Dir;
  QByteArray Saved;
  bool HadSaved;
};
