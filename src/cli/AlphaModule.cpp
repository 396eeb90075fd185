#include "cli/AlphaModule.h"

#include <QCoreApplication>
#include <string>

#include "cli/ProgramModule.h"

std::unique_ptr<TAlphaWork> OpenAlphaWork(QString& error) {
  std::string why;
  if (auto work = NewModuleWork<TAlphaWork>("tomaru-alpha", TOMARU_ALPHA_WORK_ENTRY, why)) return work;
  error = QCoreApplication::translate("AlphaModule", "tomaru: WebP と PNG を書く部分を読み込めませんでした。(%1)")
              .arg(QString::fromLocal8Bit(why.c_str()));
  return nullptr;
}
