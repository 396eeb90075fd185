#include "document/FileErrors.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "document/Exception.h"

namespace {

// The platform's own text for a code, in the program's locale.
QString PlatformText(int code) {
  char buffer[256] = {};
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
  const char* text = ::strerror_r(code, buffer, sizeof buffer);
#else
  const char* text = ::strerror_r(code, buffer, sizeof buffer) == 0 ? buffer : nullptr;
#endif
  const QString s = text ? QString::fromLocal8Bit(text) : QString();
  // glibc answers "Unknown error N" for codes it does not know.
  if (s.isEmpty() || s.startsWith(QLatin1String("Unknown error"))) return QString();
  return s;
}

}  // namespace

QString SystemErrorText(int code, TFileAction action) {
  switch (code) {
    case EACCES:
      switch (action) {
        case TFileAction::Read: return QCoreApplication::translate("FileErrors", "読み取り権限がありません");
        case TFileAction::Write:
        case TFileAction::MakeDir: return QCoreApplication::translate("FileErrors", "書き込み権限がありません");
      }
      break;
    case EPERM: return QCoreApplication::translate("FileErrors", "この操作は許可されていません");
    case ENOENT: return QCoreApplication::translate("FileErrors", "ファイルまたはフォルダが見つかりません");
    case ENOTDIR: return QCoreApplication::translate("FileErrors", "パスの途中にフォルダでないものがあります");
    case EISDIR: return QCoreApplication::translate("FileErrors", "ファイルではなくフォルダです");
    case ENOSPC: return QCoreApplication::translate("FileErrors", "ディスクの空き容量が足りません");
#ifdef EDQUOT
    case EDQUOT: return QCoreApplication::translate("FileErrors", "ディスクの使用量の上限を超えています");
#endif
    case EFBIG: return QCoreApplication::translate("FileErrors", "ファイルが大きすぎます");
    case EROFS: return QCoreApplication::translate("FileErrors", "読み取り専用のファイルシステムです");
    case EIO: return QCoreApplication::translate("FileErrors", "装置の入出力エラーです");
    case ENAMETOOLONG: return QCoreApplication::translate("FileErrors", "ファイル名が長すぎます");
    case ELOOP: return QCoreApplication::translate("FileErrors", "シンボリックリンクが循環しているか、深すぎます");
    case EMFILE:
    case ENFILE: return QCoreApplication::translate("FileErrors", "開いているファイルが多すぎます");
    case ENOMEM: return QCoreApplication::translate("FileErrors", "メモリが足りません");
    case EEXIST: return QCoreApplication::translate("FileErrors", "同じ名前のものが既にあります");
    case EBUSY: return QCoreApplication::translate("FileErrors", "ファイルまたは装置が使用中です");
    case ETXTBSY: return QCoreApplication::translate("FileErrors", "実行中のファイルです");
    case EXDEV: return QCoreApplication::translate("FileErrors", "別のファイルシステムをまたいでいます");
    case EINVAL: return QCoreApplication::translate("FileErrors", "ファイル名または引数が正しくありません");
    case EAGAIN: return QCoreApplication::translate("FileErrors", "一時的に使えません。もう一度試してください");
    case EINTR: return QCoreApplication::translate("FileErrors", "操作が中断されました");
    case ENXIO:
    case ENODEV: return QCoreApplication::translate("FileErrors", "装置がありません");
#ifdef ESTALE
    case ESTALE: return QCoreApplication::translate("FileErrors", "ネットワーク上のファイルが無効になりました");
#endif
    case ENOTEMPTY: return QCoreApplication::translate("FileErrors", "フォルダが空ではありません");
    default: break;
  }
  const QString platform = PlatformText(code);
  return platform.isEmpty() ? QCoreApplication::translate("FileErrors", "不明なエラー") : platform;
}

QString FileErrorText(TFileAction action, const QString& fileName, int code) {
  QString what;
  switch (action) {
    case TFileAction::Read: what = QCoreApplication::translate("FileErrors", "ファイル「%1」を読み込めませんでした。"); break;
    case TFileAction::Write: what = QCoreApplication::translate("FileErrors", "ファイル「%1」を保存できませんでした。"); break;
    case TFileAction::MakeDir: what = QCoreApplication::translate("FileErrors", "フォルダ「%1」を作成できませんでした。"); break;
  }
  // The reason on a line of its own, so a long name does not split it.
  return what.arg(fileName) + QLatin1Char('\n') +
         QCoreApplication::translate("FileErrors", "(%1、エラーコード %2)").arg(SystemErrorText(code, action), QString::number(code));
}

void RaiseFileError(TFileAction action, const QString& fileName, int code) {
  throw EInOutError(code, FileErrorText(action, fileName, code), fileName);
}

QString NotRegularFileReason(unsigned mode) {
  QString what = QCoreApplication::translate("FileErrors", "特殊なファイル");
  if (S_ISFIFO(mode)) what = QCoreApplication::translate("FileErrors", "名前付きパイプ");
  else if (S_ISCHR(mode) || S_ISBLK(mode)) what = QCoreApplication::translate("FileErrors", "デバイス");
  else if (S_ISSOCK(mode)) what = QCoreApplication::translate("FileErrors", "ソケット");
  return QCoreApplication::translate("FileErrors", "%1です。読み込めるのは通常のファイルだけです").arg(what);
}

QString TooLargeReason(qint64 size, qint64 limit) {
  return QCoreApplication::translate("FileErrors", "%1 バイトあり、扱える大きさ (%2 バイト) を超えています").arg(size).arg(limit);
}

void RaiseReadRefusal(const QString& fileName, const QString& reason, int code) {
  const QString text = QCoreApplication::translate("FileErrors", "ファイル「%1」を読み込めませんでした。").arg(fileName) + QLatin1Char('\n') +
                       QStringLiteral("(") + reason + QStringLiteral(")");
  throw EInOutError(code, text, fileName);
}
