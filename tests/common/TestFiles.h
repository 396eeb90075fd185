#pragma once
// Small file helpers shared by the tests.
#include <QByteArray>
#include <QString>

QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& data);
bool Exists(const QString& path);
