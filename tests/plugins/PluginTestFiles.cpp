#include "PluginTestFiles.h"

#include <QDir>
#include <QFile>
#include <cstring>

QString TestSpi(const QString& name) { return QStringLiteral(TEST_SPI_DIR "/") + name + QStringLiteral(".spi"); }

QString CopySpi(const QString& name, const QString& dir, const QString& fileName) {
  const QString target = dir + QLatin1Char('/') + (fileName.isEmpty() ? name + QStringLiteral(".spi") : fileName);
  QFile::remove(target);
  QFile::copy(TestSpi(name), target);
  return target;
}

TestCallLog* LogOf(const TSPI& spi) {
  auto get = reinterpret_cast<TestGetLog>(spi.GetProc("TestLog"));
  return get ? get() : nullptr;
}

TestScript PictureScript() {
  TestScript s{};
  std::memcpy(s.Magic, "TSPI", 4);
  s.Width = 4;
  s.Height = 3;
  s.BitCount = 8;
  s.HeaderAlloc = -1;
  s.BitsAlloc = -1;
  s.Fill = 7;
  return s;
}

QByteArray ScriptData(const TestScript& script, int skip, int size) {
  QByteArray data(skip, '\xEE');
  data.append(reinterpret_cast<const char*>(&script), sizeof script);
  if (data.size() < size) data.append(size - data.size(), '\xEE');
  return data;
}

TScopedConfig::TScopedConfig() {
  HadSaved = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
  Saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(Dir.path()));
}

TScopedConfig::~TScopedConfig() {
  if (HadSaved)
    qputenv("XDG_CONFIG_HOME", Saved);
  else
    qunsetenv("XDG_CONFIG_HOME");
}

void TScopedConfig::SetSusieDir(const QString& dir) {
  QDir().mkpath(Dir.path() + QStringLiteral("/Tenkoku/Susie"));
  QFile file(Dir.path() + QStringLiteral("/Tenkoku/Susie/Plug-in.ini"));
  file.open(QIODevice::WriteOnly | QIODevice::Truncate);
  file.write("[Susie]\r\nPath=" + QFile::encodeName(dir) + "\r\n");
}
