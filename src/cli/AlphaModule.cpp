#include "cli/AlphaModule.h"

#include <QCoreApplication>
#include <string>

#include "cli/ProgramModule.h"

std::unique_ptr<TAlphaWork> OpenAlphaWork(QString& error) {
  std::string why;
  using TNewWork = TAlphaWork* (*)();
  const auto newWork = reinterpret_cast<TNewWork>(ProgramModuleEntry("tomaru-alpha", TOMARU_ALPHA_WORK_ENTRY, why));
  if (newWork) return std::unique_ptr<TAlphaWork>(newWork());
  error = QCoreApplication::translate("AlphaModule", "tomaru: WebP と PNG を書く部分を読み込めませんでした。(%1)")
              .arg(QString::fromLocal8Bit(why.c_str()));
  return nullptr;
}
