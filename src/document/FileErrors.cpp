#include "document/FileErrors.h"

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
        case TFileAction::Read: return QStringLiteral("読み取り権限がありません");
        case TFileAction::Write:
        case TFileAction::MakeDir: return QStringLiteral("書き込み権限がありません");
      }
      break;
    case EPERM: return QStringLiteral("この操作は許可されていません");
    case ENOENT: return QStringLiteral("ファイルまたはフォルダが見つかりません");
    case ENOTDIR: return QStringLiteral("パスの途中にフォルダでないものがあります");
    case EISDIR: return QStringLiteral("ファイルではなくフォルダです");
    case ENOSPC: return QStringLiteral("ディスクの空き容量が足りません");
#ifdef EDQUOT
    case EDQUOT: return QStringLiteral("ディスクの使用量の上限を超えています");
#endif
    case EFBIG: return QStringLiteral("ファイルが大きすぎます");
    case EROFS: return QStringLiteral("読み取り専用のファイルシステムです");
    case EIO: return QStringLiteral("装置の入出力エラーです");
    case ENAMETOOLONG: return QStringLiteral("ファイル名が長すぎます");
    case ELOOP: return QStringLiteral("シンボリックリンクが循環しているか、深すぎます");
    case EMFILE:
    case ENFILE: return QStringLiteral("開いているファイルが多すぎます");
    case ENOMEM: return QStringLiteral("メモリが足りません");
    case EEXIST: return QStringLiteral("同じ名前のものが既にあります");
    case EBUSY: return QStringLiteral("ファイルまたは装置が使用中です");
    case ETXTBSY: return QStringLiteral("実行中のファイルです");
    case EXDEV: return QStringLiteral("別のファイルシステムをまたいでいます");
    case EINVAL: return QStringLiteral("ファイル名または引数が正しくありません");
    case EAGAIN: return QStringLiteral("一時的に使えません。もう一度試してください");
    case EINTR: return QStringLiteral("操作が中断されました");
    case ENXIO:
    case ENODEV: return QStringLiteral("装置がありません");
#ifdef ESTALE
    case ESTALE: return QStringLiteral("ネットワーク上のファイルが無効になりました");
#endif
    case ENOTEMPTY: return QStringLiteral("フォルダが空ではありません");
    default: break;
  }
  const QString platform = PlatformText(code);
  return platform.isEmpty() ? QStringLiteral("不明なエラー") : platform;
}

QString FileErrorText(TFileAction action, const QString& fileName, int code) {
  QString what;
  switch (action) {
    case TFileAction::Read: what = QStringLiteral("ファイル「%1」を読み込めませんでした。"); break;
    case TFileAction::Write: what = QStringLiteral("ファイル「%1」を保存できませんでした。"); break;
    case TFileAction::MakeDir: what = QStringLiteral("フォルダ「%1」を作成できませんでした。"); break;
  }
  // The reason on a line of its own, so a long name does not split it.
  return what.arg(fileName) + QLatin1Char('\n') +
         QStringLiteral("(%1、エラーコード %2)").arg(SystemErrorText(code, action), QString::number(code));
}

void RaiseFileError(TFileAction action, const QString& fileName, int code) {
  throw EInOutError(code, FileErrorText(action, fileName, code), fileName);
}

QString NotRegularFileReason(unsigned mode) {
  QString what = QStringLiteral("特殊なファイル");
  if (S_ISFIFO(mode)) what = QStringLiteral("名前付きパイプ");
  else if (S_ISCHR(mode) || S_ISBLK(mode)) what = QStringLiteral("デバイス");
  else if (S_ISSOCK(mode)) what = QStringLiteral("ソケット");
  return what + QStringLiteral("です。読み込めるのは通常のファイルだけです");
}

QString TooLargeReason(qint64 size, qint64 limit) {
  return QStringLiteral("%1 バイトあり、扱える大きさ (%2 バイト) を超えています").arg(size).arg(limit);
}

void RaiseReadRefusal(const QString& fileName, const QString& reason, int code) {
  const QString text = QStringLiteral("ファイル「%1」を読み込めませんでした。").arg(fileName) + QLatin1Char('\n') +
                       QStringLiteral("(") + reason + QStringLiteral(")");
  throw EInOutError(code, text, fileName);
}
