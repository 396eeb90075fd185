#include "cli/PictureModule.h"

#include <QCoreApplication>
#include <string>

#include "cli/ProgramModule.h"

std::unique_ptr<TPictureWork> OpenPictureWork(QString& error) {
  std::string why;
  if (auto work = NewModuleWork<TPictureWork>("tomaru-pictures", TOMARU_PICTURE_WORK_ENTRY, why)) return work;
  error = QCoreApplication::translate("PictureModule", "tomaru: 画像を読む部分を読み込めませんでした。(%1)")
              .arg(QString::fromLocal8Bit(why.c_str()));
  return nullptr;
}
