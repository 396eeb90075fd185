#include "reduce/LiqLibrary.h"

#include <QCoreApplication>
#include <dlfcn.h>
#include <string>

#include "document/Exception.h"

namespace {

QString NotLoaded(const QString& why) {
  return QCoreApplication::translate("LiqLibrary", "色を減らす部分 (libimagequant) を読み込めませんでした。(%1)").arg(why);
}

[[noreturn]] void ThrowNotLoaded(const char* fallback) {
  const char* why = ::dlerror();
  throw Exception(NotLoaded(QString::fromLocal8Bit(why ? why : fallback)));
}

template <typename Function>
void Find(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(::dlsym(library, name));
  if (!function) ThrowNotLoaded(name);
}

TLiq Load() {
  // By its soname, where the system keeps libraries.
  void* library = ::dlopen("libimagequant.so.0", RTLD_NOW | RTLD_LOCAL);
  if (!library) ThrowNotLoaded("libimagequant.so.0");
  TLiq liq;
  Find(library, "liq_attr_create", liq.AttrCreate);
  Find(library, "liq_attr_destroy", liq.AttrDestroy);
  Find(library, "liq_set_max_colors", liq.SetMaxColors);
  Find(library, "liq_set_speed", liq.SetSpeed);
  Find(library, "liq_attr_set_progress_callback", liq.SetProgressCallback);
  Find(library, "liq_image_create_rgba", liq.ImageCreateRgba);
  Find(library, "liq_image_destroy", liq.ImageDestroy);
  Find(library, "liq_histogram_create", liq.HistogramCreate);
  Find(library, "liq_histogram_add_image", liq.HistogramAddImage);
  Find(library, "liq_histogram_add_colors", liq.HistogramAddColors);
  Find(library, "liq_histogram_destroy", liq.HistogramDestroy);
  Find(library, "liq_histogram_quantize", liq.HistogramQuantize);
  Find(library, "liq_get_palette", liq.GetPalette);
  Find(library, "liq_result_destroy", liq.ResultDestroy);
  return liq;
}

QString Answered(liq_error answer) {
  switch (answer) {
    case LIQ_QUALITY_TOO_LOW:
      return QCoreApplication::translate("LiqLibrary", "求める画質に届きません");
    case LIQ_VALUE_OUT_OF_RANGE:
      return QCoreApplication::translate("LiqLibrary", "値が範囲外です");
    case LIQ_ABORTED:
      return QCoreApplication::translate("LiqLibrary", "中止されました");
    case LIQ_BITMAP_NOT_AVAILABLE:
      return QCoreApplication::translate("LiqLibrary", "画素が渡されていません");
    case LIQ_BUFFER_TOO_SMALL:
      return QCoreApplication::translate("LiqLibrary", "結果を受け取る場所が小さすぎます");
    case LIQ_INVALID_POINTER:
      return QCoreApplication::translate("LiqLibrary", "不正なポインタが渡されました");
    case LIQ_UNSUPPORTED:
      return QCoreApplication::translate("LiqLibrary", "その使い方には対応していません");
    default:
      return QCoreApplication::translate("LiqLibrary", "エラー %1").arg(int(answer));
  }
}

}  // namespace

const TLiq& Liq() {
  // Loaded once; a load that failed is tried again by the next call.
  static const TLiq liq = Load();
  return liq;
}

void CheckLiq(liq_error answer) {
  if (answer == LIQ_OK) return;
  if (answer == LIQ_OUT_OF_MEMORY) throw std::bad_alloc();
  throw Exception(QCoreApplication::translate("LiqLibrary", "色を減らせませんでした。(libimagequant: %1)").arg(Answered(answer)));
}
