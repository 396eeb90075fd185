#include "preview/PreviewPage.h"

#include "preview/PreviewColor.h"

namespace {
const QByteArray kPicture = QByteArrayLiteral("\t<div style=\"margin:1px;\">\r\n\t\t<img src=\"_.gif\" alt=\"\" />\r\n\t</div>\r\n");
}  // namespace

TColor ContrastingPage(TColor page) {
  // The eye's weights: a saturated blue is dark, a yellow light.
  const int luma = (RedOf(page) * 299 + GreenOf(page) * 587 + BlueOf(page) * 114) / 1000;
  return luma < 128 ? RGBColor(255, 255, 255) : RGBColor(0x20, 0x20, 0x20);
}

QByteArray PreviewPage(const QByteArray& templ, const QString& image, std::optional<TColor> second) {
  QByteArray picture = kPicture;
  picture.replace("_.gif", image.toUtf8());
  if (second) {
    QByteArray pair = picture;
    pair.replace("margin:1px;", "margin:1px;display:inline-block;vertical-align:top;");
    QByteArray other = pair;
    other.replace("margin:1px;", "margin:1px;padding:4px;background-color:" + ChangeHTMLColor(*second).toLatin1() + ";");
    pair.replace("margin:1px;", "margin:1px;padding:4px;");
    picture = pair + other;
  }
  QByteArray page = templ;
  page.replace(kPicture, picture);
  return page;
}
