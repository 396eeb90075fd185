#include "cli/PictureModule.h"

#include <QCoreApplication>
#include <string>

#include "cli/ProgramModule.h"

std::unique_ptr<TPictureWork> OpenPictureWork(QString& error) {
  std::string why;
  using TNewWork = TPictureWork* (*)();
  const auto newWork = reinterpret_cast<TNewWork>(ProgramModuleEntry("tomaru-pictures", TOMARU_PICTURE_WORK_ENTRY, why));
  if (newWork) return std::unique_ptr<TPictureWork>(newWork());
  error = QCoreApplication::translate("PictureModule", "tomaru: 画像を読む部分を読み込めませんでした。(%1)")
              .arg(QString::fromLocal8Bit(why.c_str()));
  return nullptr;
}
