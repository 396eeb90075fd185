#pragma once
// libimagequant, loaded the first time colours are reduced rather than
// linked: the frame code that every command-line run links reduces colours
// only now and then, and a run that reads or patches a GIF maps no more than
// Qt Core. Every call to the library goes through here, so that each of its
// failures is told in the program's words.
#include <libimagequant.h>

#include <memory>
#include <new>

struct TLiq {
  decltype(&liq_attr_create) AttrCreate;
  decltype(&liq_attr_destroy) AttrDestroy;
  decltype(&liq_set_max_colors) SetMaxColors;
  decltype(&liq_set_speed) SetSpeed;
  decltype(&liq_attr_set_progress_callback) SetProgressCallback;
  decltype(&liq_image_create_rgba) ImageCreateRgba;
  decltype(&liq_image_destroy) ImageDestroy;
  decltype(&liq_histogram_create) HistogramCreate;
  decltype(&liq_histogram_add_image) HistogramAddImage;
  decltype(&liq_histogram_add_colors) HistogramAddColors;
  decltype(&liq_histogram_destroy) HistogramDestroy;
  decltype(&liq_histogram_quantize) HistogramQuantize;
  decltype(&liq_get_palette) GetPalette;
  decltype(&liq_result_destroy) ResultDestroy;
};

// The library, loaded by the first call; Exception saying why when it cannot be.
const TLiq& Liq();

// A call that failed: std::bad_alloc for lack of memory, otherwise Exception
// with what libimagequant answered.
void CheckLiq(liq_error answer);

// Its objects, each freed with its own function when it leaves scope.
template <typename T, void (*TLiq::*Destroy)(T*)>
struct TLiqDeleter {
  void operator()(T* p) const { (Liq().*Destroy)(p); }
};
using TLiqAttr = std::unique_ptr<liq_attr, TLiqDeleter<liq_attr, &TLiq::AttrDestroy>>;
using TLiqImage = std::unique_ptr<liq_image, TLiqDeleter<liq_image, &TLiq::ImageDestroy>>;
using TLiqResult = std::unique_ptr<liq_result, TLiqDeleter<liq_result, &TLiq::ResultDestroy>>;
using TLiqHistogram = std::unique_ptr<liq_histogram, TLiqDeleter<liq_histogram, &TLiq::HistogramDestroy>>;

// A new object, never null: with the sizes given here the library's
// constructors fail only for lack of memory.
template <typename Handle, typename Made>
Handle LiqMade(Made* made) {
  if (!made) throw std::bad_alloc();
  return Handle(made);
}
