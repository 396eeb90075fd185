#pragma once
// libimagequant's objects, each freed with its own function when it leaves scope.
#include <libimagequant.h>

#include <memory>

template <typename T, void (*Destroy)(T*)>
struct TLiqDeleter {
  void operator()(T* p) const { Destroy(p); }
};
using TLiqAttr = std::unique_ptr<liq_attr, TLiqDeleter<liq_attr, liq_attr_destroy>>;
using TLiqImage = std::unique_ptr<liq_image, TLiqDeleter<liq_image, liq_image_destroy>>;
using TLiqResult = std::unique_ptr<liq_result, TLiqDeleter<liq_result, liq_result_destroy>>;
using TLiqHistogram = std::unique_ptr<liq_histogram, TLiqDeleter<liq_histogram, liq_histogram_destroy>>;
