// Backgrounds beyond one colour, on art whose truth is known: drawn here with
// antialiasing on a transparent picture, flattened on a page colour, written
// as GIF, saved with the matte and region, and shown on other pages.
#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPoint>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <webp/demux.h>

#include "FramePlans.h"
#include "SaveOracle.h"
#include "alpha/SaveWithAlpha.h"
#include "common/TestFiles.h"
#include "common/GifAnimation.h"
#include "document/GifFrames.h"
#include "frames/ReachTarget.h"
#include "frames/SavePlan.h"
#include "reduce/GIFImage.h"
#include "reduce/PicturePalette.h"

namespace {

QImage Blank(int w, int h) {
  QImage art(w, h, QImage::Format_ARGB32_Premultiplied);
  art.fill(Qt::transparent);
  return art;
}

// A logo: a filled ellipse, a word and a thin line.
QImage Logo() {
  QImage art = Blank(180, 72);
  QPainter p(&art);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1F, 0x3A, 0x93));
  p.drawEllipse(QRectF(8.5, 10.3, 50.2, 50.7));
  QFont font(QStringLiteral("Sans"));
  font.setPixelSize(26);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(0xB0, 0x1E, 0x2D));
  p.drawText(QRectF(66, 8, 110, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tomaru"));
  p.setPen(QPen(QColor(0x1B, 0x6E, 0x3A), 1.6));
  p.drawLine(QPointF(66.2, 58.4), QPointF(172.7, 50.1));
  return art;
}

// A face: a round head with an outline, white eyes with pupils, a mouth.
QImage Face() {
  QImage art = Blank(96, 96);
  QPainter p(&art);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x3B, 0x2A, 0x1A), 3));
  p.setBrush(QColor(0xF5, 0xC5, 0x18));
  p.drawEllipse(QRectF(8.3, 8.6, 79.2, 78.9));
  p.setPen(QPen(QColor(0x3B, 0x2A, 0x1A), 1.5));
  p.setBrush(Qt::white);
  for (const double x : {26.4, 52.7}) p.drawEllipse(QRectF(x, 28.2, 17.5, 19.3));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x20, 0x20, 0x60));
  for (const double x : {32.1, 58.4}) p.drawEllipse(QRectF(x, 36.3, 7.2, 7.6));
  p.setPen(QPen(QColor(0x8A, 0x1F, 0x1F), 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(30.5, 50.2, 35.3, 20.4), 200 * 16, 140 * 16);
  return art;
}

// The eighth of a turn of a ball circling a fixed word, frame k of 8.
QImage Orbit(int k) {
  QImage art = Blank(120, 80);
  QPainter p(&art);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font(QStringLiteral("Sans"));
  font.setPixelSize(18);
  p.setFont(font);
  p.setPen(QColor(0x22, 0x22, 0x22));
  p.drawText(QRectF(30, 28, 60, 24), Qt::AlignCenter, QStringLiteral("GIF"));
  const double a = k * M_PI / 4;
  p.setPen(QPen(QColor(0x60, 0x10, 0x10), 1.2));
  p.setBrush(QColor(0xD8, 0x30, 0x30));
  p.drawEllipse(QPointF(60 + 42 * std::cos(a), 40 + 27 * std::sin(a)), 9.3, 9.3);
  return art;
}

QImage OnPage(const QImage& art, QRgb page) {
  QImage out(art.size(), QImage::Format_RGB32);
  out.fill(page);
  QPainter(&out).drawImage(0, 0, art);
  return out;
}

// The picture in at most n colours ImageMagick chooses, undithered, as small
// palettes are made.
QImage InColors(const QImage& flat, int n) {
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  flat.save(&buffer, "PNG");
  QProcess convert;
  convert.start(QStringLiteral("convert"), {"png:-", "+dither", "-colors", QString::number(n), "png:-"});
  convert.write(png);
  convert.closeWriteChannel();
  convert.waitForFinished();
  return QImage::fromData(convert.readAllStandardOutput()).convertToFormat(QImage::Format_Indexed8);
}

// The project's own road to a GIF: its palette for the picture (or at most
// colors), undithered, and its writer.
QByteArray WrittenGif(const QImage& flat, int colors = 0) {
  const QImage indexed = colors ? InColors(flat, colors) : QuantizeToPicturePalette(flat, false, false).Image;
  TGIFPalette palette;
  std::vector<uint8_t> indices;
  if (MapPixelsToPalette(indexed, palette, indices) != 0) return {};
  QByteArray gif;
  WriteGIFStream(gif, flat.width(), flat.height(), palette, indices.data());
  return gif;
}

// Eight frames flattened on the page, one palette for all (chosen from them
// stacked), full frames, then optimised by gifsicle as such files are.
QByteArray WrittenAnimation(const std::vector<QImage>& arts, QRgb page) {
  const int w = arts[0].width(), h = arts[0].height();
  QImage stacked(w, h * int(arts.size()), QImage::Format_RGB32);
  {
    QPainter p(&stacked);
    for (size_t k = 0; k < arts.size(); ++k) p.drawImage(0, h * int(k), OnPage(arts[k], page));
  }
  const QImage image = QuantizeToPicturePalette(stacked, false, false).Image;
  std::vector<TRgb> colors;
  for (const QRgb c : image.colorTable()) colors.push_back({uint8_t(qRed(c)), uint8_t(qGreen(c)), uint8_t(qBlue(c))});
  size_t size = 2;
  while (size < colors.size()) size *= 2;
  colors.resize(size, kBlack);
  std::vector<TAnimFrame> frames;
  for (size_t k = 0; k < arts.size(); ++k) {
    std::vector<uint8_t> p;
    for (int y = 0; y < h; ++y) p.insert(p.end(), image.constScanLine(h * int(k) + y), image.constScanLine(h * int(k) + y) + w);
    frames.push_back(Full(p, Packed(1)));
  }
  return GifsicleOptimised(MakeAnimation(Plan(colors, frames, w, h)));
}

// The PSNR of one frame as shown (0xAARRGGBB, straight alpha) over page,
// against the true art on that page.
double Psnr(const std::vector<uint32_t>& shown, const QImage& art, QRgb page) {
  const QImage truth = OnPage(art, page);
  double sum = 0;
  for (int y = 0; y < truth.height(); ++y)
    for (int x = 0; x < truth.width(); ++x) {
      const uint32_t s = shown[size_t(y) * truth.width() + x];
      const double a = (s >> 24) / 255.0;
      for (const int shift : {0, 8, 16}) {
        const double got = a * (s >> shift & 0xFF) + (1 - a) * (page >> shift & 0xFF);
        const double d = got - int(truth.pixel(x, y) >> shift & 0xFF);
        sum += d * d;
      }
    }
  const double mse = sum / (3.0 * truth.width() * truth.height());
  return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

// Worst frame's PSNR (dB) of the saved file, shown on page, against the
// true art on that page.
double WorstPsnr(const QByteArray& saved, const std::vector<QImage>& arts, QRgb page) {
  const auto shown = ComposeFrames(saved);
  if (!shown || shown->Canvases.size() != arts.size() || shown->Width != arts[0].width()) return 0;
  double worst = 1e9;
  for (size_t k = 0; k < arts.size(); ++k) worst = std::min(worst, Psnr(shown->Canvases[k], arts[k], page));
  return worst;
}

// What libwebp's animation decoder shows of a WebP: each picture
// (0xAARRGGBB, straight alpha) with its time, and the canvas's width.
struct TShown {
  std::vector<uint32_t> Pixels;
  int Ms = 0;
};
std::vector<TShown> DecodedWebp(const QByteArray& webp, int& width) {
  const WebPData data{reinterpret_cast<const uint8_t*>(webp.constData()), size_t(webp.size())};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_BGRA;  // little-endian words of 0xAARRGGBB
  std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&data, &options),
                                                                       WebPAnimDecoderDelete);
  WebPAnimInfo info;
  if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info)) return {};
  width = int(info.canvas_width);
  std::vector<TShown> shown;
  for (int before = 0; WebPAnimDecoderHasMoreFrames(decoder.get());) {
    uint8_t* bytes = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &bytes, &timestamp)) return {};
    const auto* words = reinterpret_cast<const uint32_t*>(bytes);
    shown.push_back({{words, words + size_t(info.canvas_width) * info.canvas_height}, timestamp - before});
    before = timestamp;
  }
  return shown;
}

// Worst frame's PSNR of a WebP, as libwebp's decoder shows it, composited over page.
double WorstWebpPsnr(const QByteArray& webp, const std::vector<QImage>& arts, QRgb page) {
  int width = 0;
  const std::vector<TShown> shown = DecodedWebp(webp, width);
  if (shown.size() != arts.size() || width != arts[0].width()) return 0;
  double worst = 1e9;
  for (size_t k = 0; k < arts.size(); ++k) worst = std::min(worst, Psnr(shown[k].Pixels, arts[k], page));
  return worst;
}

// How far (RGB distance squared) a pixel of a frame whose colours were
// merged to fit its table may lie from its target: its nearest colours.
int Merged(const TFramePatchResult& frames) { return frames.Reduced > 0 ? 3 * 12 * 12 : 0; }

TColor Color(QRgb c) { return RGBColor(qRed(c), qGreen(c), qBlue(c)); }

// The document of a written picture, its corner's entry chosen.
TGifDocument CornerChosen(const QByteArray& file) {
  const TColor corner = Color(ComposeFrames(file)->Canvases[0][0]);
  TGifDocument doc = Chosen(file, 0);
  while (doc.PaletteColors[doc.TransparentIndex] != corner && doc.TransparentIndex + 1 < doc.ColorCount)
    ++doc.TransparentIndex;
  return doc;
}

struct TArtCase {
  const char* Name;
  std::vector<QImage> Arts;
  QRgb Flattened;  // the page the art was made for
  // Only the background joined to the edge: not for letters, whose
  // counters (the inside of an o) are background too.
  bool Connected;
  int Colors = 0;  // written in at most this many, 0 for its own palette
};

}  // namespace

// Matted to the page and only the background taken, every frame of each
// picture shows on a dark and on a mid-blue page within 42 dB of the true art
// there; the plain choice of the flattened page's colour is printed beside.
TEST(Background, EdgesMattedToThePageMatchTheArtOnIt) {
  const QRgb white = qRgb(255, 255, 255), cream = qRgb(255, 248, 220);
  std::vector<QImage> orbit;
  for (int k = 0; k < 8; ++k) orbit.push_back(Orbit(k));
  const std::vector<TArtCase> cases = {{"logo on white", {Logo()}, white, false},
                                       {"logo on cream", {Logo()}, cream, false},
                                       {"logo on cream in 48 colours", {Logo()}, cream, false, 48},
                                       {"face on white", {Face()}, white, true},
                                       {"8 optimised frames on white", orbit, white, true}};
  for (const TArtCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::vector<QImage>& arts = c.Arts;
    const QByteArray file = arts.size() > 1 ? WrittenAnimation(arts, c.Flattened) : WrittenGif(OnPage(arts[0], c.Flattened), c.Colors);
    if (file.isEmpty()) GTEST_SKIP() << "gifsicle is not installed";
    for (const QRgb page : {qRgb(0x20, 0x20, 0x20), qRgb(0x3A, 0x7B, 0xD5)}) {
      TGifDocument doc = CornerChosen(file);
      const double plain = WorstPsnr(Save(doc).Data, arts, page);
      doc.Reach.Connected = c.Connected;
      doc.Reach.Matte = Color(page);
      doc.Reach.SoftEdges = true;
      const TSaved saved = Save(doc);
      const double matted = WorstPsnr(saved.Data, arts, page);
      std::printf("  %-28s on #%06X: %5.1f dB matted, %5.1f dB plain, %d of %d frames reduced\n", c.Name,
                  page & 0xFFFFFF, matted, plain, saved.Frames.Reduced, saved.Frames.Frames);
      EXPECT_GE(matted, 42.0) << "page #" << std::hex << (page & 0xFFFFFF);
      EXPECT_EQ(saved.Frames.NotRight, 0);
      EXPECT_EQ(CompareWithTarget(doc, saved.Data, TControlReading::First, SIZE_MAX, Merged(saved.Frames)), "");
    }
    // One WebP with soft edges, right on every page at once; the GIF matted
    // for the dark page beside it.
    TGifDocument doc = CornerChosen(file);
    doc.Reach.Connected = c.Connected;
    doc.Reach.SoftEdges = true;
    QTemporaryDir dir;
    const QString webp = dir.filePath(QStringLiteral("soft.webp"));
    ASSERT_EQ(SaveChoiceWithAlpha(doc, true, TAlphaFormat::WebP, webp).Error, QString());
    doc.Reach.Matte = RGBColor(0x20, 0x20, 0x20);
    const QByteArray dark = Save(doc).Data;
    for (const QRgb page : {qRgb(255, 255, 255), qRgb(0x20, 0x20, 0x20), qRgb(0x3A, 0x7B, 0xD5)}) {
      const double soft = WorstWebpPsnr(ReadAll(webp), arts, page);
      std::printf("  %-28s on #%06X: %5.1f dB WebP, %5.1f dB GIF matted for #202020\n", c.Name, page & 0xFFFFFF, soft,
                  WorstPsnr(dark, arts, page));
      EXPECT_GE(soft, 40.0) << "page #" << std::hex << (page & 0xFFFFFF);
    }
  }
}

namespace {

// A white screen with a square of random greys: every edge pixel is a grey
// on the line from white to its darkest neighbour, each unmixed to a colour
// of its own, more than a table holds beside the greys inside.
QByteArray GreyNoise() {
  std::vector<TRgb> greys;
  for (int i = 0; i < 256; ++i) greys.push_back({uint8_t(i), uint8_t(i), uint8_t(i)});
  std::vector<uint8_t> p = Filled(64, 64, 255);
  uint32_t seed = 12345;
  for (int y = 12; y < 52; ++y)
    for (int x = 12; x < 52; ++x) seed = seed * 1103515245u + 12345u, p[size_t(y) * 64 + x] = uint8_t(seed >> 16) % 250;
  return MakeAnimation(Plan(greys, {Full(p, Packed(0))}, 64, 64));
}

// White dithered with a near white, a red square in the middle; a second
// frame moves the square.
QByteArray DitheredSquare() {
  std::vector<TAnimFrame> frames;
  for (const int left : {16, 20}) {
    std::vector<uint8_t> p(48 * 32);
    uint32_t seed = 7;
    for (uint8_t& i : p) seed = seed * 1103515245u + 12345u, i = (seed >> 16) % 3 == 0 ? 1 : 0;
    Paint(p, 48, left, 10, left + 12, 22, 2);
    frames.push_back(Full(p, Packed(1)));
  }
  return MakeAnimation(Plan({kWhite, {236, 238, 234}, kRed, kBlack}, frames, 48, 32));
}

// A white screen showing two 16 x 32 tiles, each frame with a full table of
// its own: 511 colours on the screen, 256 at most in a frame.
QByteArray TwoFullTables() {
  TAnimFrame first = Full(Filled(40, 40, 0), Packed(1)), second = Part(20, 4, 16, 32, {}, Packed(1));
  first.LocalColors.push_back(kWhite);
  for (int i = 1; i < 256; ++i) first.LocalColors.push_back({uint8_t(i), 100, 50});
  for (int i = 0; i < 256; ++i) second.LocalColors.push_back({50, uint8_t(i), 100});
  for (int i = 0; i < 512; ++i) {
    first.Pixels[size_t(4 + i / 16) * 40 + 4 + i % 16] = uint8_t(1 + i % 255);
    second.Pixels.push_back(uint8_t(i));
  }
  return MakeAnimation(Plan({kWhite, kBlack}, {first, second}, 40, 40));
}

// A ramp of 255 colours inside a white border, white once inside too: with
// the region, the white inside stays and the border's goes, 257 entries.
QByteArray RampInWhite() {
  std::vector<TRgb> ramp{kWhite};
  for (int i = 1; i < 256; ++i) ramp.push_back({uint8_t(i), uint8_t(255 - i), 128});
  std::vector<uint8_t> p = Filled(40, 40, 0);
  for (int i = 0; i < 1024; ++i) p[size_t(4 + i / 32) * 40 + 4 + i % 32] = uint8_t(i == 500 ? 0 : 1 + i % 255);
  return MakeAnimation(Plan(ramp, {Full(p, Packed(0))}, 40, 40));
}

struct TTakenCase {
  const char* Name;
  QByteArray File;
  TReach Settings;
  bool AllFrames;
  std::vector<QPoint> Clear, Opaque;  // in the saved first frame
  bool EveryOtherPixelClear;          // nothing but the Opaque points' shape stays
  int Reduced;  // frames reduced, -1 where the written picture's table decides
};

}  // namespace

// What turns transparent and what stays, in the saved first frame; every
// judged frame shows its target exactly, the later ones of a first-frame
// choice keep their bytes.
TEST(Background, TheChoiceTakesNearColoursTheBackgroundOnlyAndFitsItsColours) {
  const QByteArray dithered = DitheredSquare(), face = WrittenGif(OnPage(Face(), qRgb(255, 255, 255)));
  TReach tolerant, connected, matteBlue;
  tolerant.Tolerance = 8;
  connected.Connected = true;
  connected.Matte = RGBColor(0x20, 0x20, 0x20);
  matteBlue.Matte = RGBColor(0x3A, 0x7B, 0xD5);
  connected.SoftEdges = matteBlue.SoftEdges = true;
  const std::vector<TTakenCase> cases = {
      {"a dithered background, no tolerance, leaves specks", dithered, {}, true, {{0, 0}}, {{16, 10}}, false, 0},
      {"a tolerance takes the dithered background", dithered, tolerant, true, {{0, 0}}, {{16, 10}}, true, 0},
      {"the same for the first frame only", dithered, tolerant, false, {{0, 0}}, {{16, 10}}, true, 0},
      {"the face's eyes stay with the background only", face, connected, true, {{0, 0}}, {{35, 31}, {61, 31}}, false, -1},
      {"the whole picture takes the eyes", face, TReach{0, false, RGBColor(0x20, 0x20, 0x20), true}, true,
       {{0, 0}, {35, 31}, {61, 31}}, {{47, 20}}, false, -1},
      {"edges past a table's colours are reduced", GreyNoise(), matteBlue, true, {{0, 0}}, {{30, 30}}, false, 1},
      {"more colours on the screen than a table holds, the region only: the art stays", TwoFullTables(),
       TReach{0, true, {}}, true, {{0, 0}}, {{4, 4}, {19, 35}}, false, 0},
      {"the same with a tolerance", TwoFullTables(), TReach{1, false, {}}, true, {{0, 0}}, {{4, 4}}, false, 0},
      {"one entry too many merges the nearest colours once", RampInWhite(), TReach{0, true, {}}, true, {{0, 0}}, {{24, 19}}, false, 1},
  };
  for (const TTakenCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QByteArray& file = c.File;
    TGifDocument doc = CornerChosen(file);
    doc.Reach = c.Settings;
    const TSavePlan plan = PlanSave(doc, c.AllFrames);
    const QByteArray saved = plan.Edits.Apply(file);
    const auto shown = ComposeFrames(saved);
    ASSERT_TRUE(shown);
    const std::vector<uint32_t>& first = shown->Canvases[0];
    const auto at = [&](QPoint p) { return first[size_t(p.y()) * shown->Width + p.x()]; };
    for (const QPoint p : c.Clear) EXPECT_EQ(at(p), 0u) << p.x() << "," << p.y();
    for (const QPoint p : c.Opaque) EXPECT_NE(at(p), 0u) << p.x() << "," << p.y();
    const size_t opaque = size_t(std::count_if(first.begin(), first.end(), [](uint32_t p) { return p != 0; }));
    if (c.EveryOtherPixelClear)
      EXPECT_EQ(opaque, 12u * 12u);
    else
      EXPECT_GT(opaque, 12u * 12u);
    EXPECT_EQ(plan.Frames.NotRight, 0);
    if (c.Reduced >= 0) {
      EXPECT_EQ(plan.Frames.Reduced, c.Reduced);
    }
    EXPECT_EQ(CompareWithTarget(doc, saved, TControlReading::First, c.AllFrames ? SIZE_MAX : 1, c.Reduced != 0 ? Merged(plan.Frames) : 0), "");
    if (!c.AllFrames) {
      EXPECT_EQ(FramesWrittenAnew(file, saved), std::vector<int>{0});
    }
  }
}

// The background's region is found without recursion: a path of the chosen
// colour winding row by row through a picture of a few million pixels, each
// turn joined only at its end, is cleared to its last pixel.
TEST(Background, TheRegionFollowsAWindingPathThroughALargePicture) {
  const int w = 2400, h = 1600;
  const TPixel wall = OpaquePixel(0, 0, 0), path = OpaquePixel(255, 255, 255);
  TCanvas canvas(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      // Even rows are path; odd rows are wall but for one gap, at alternate
      // ends; the way in is at the top edge.
      const bool inside = x > 0 && x < w - 1 && y > 0 && y < h - 1;
      const bool gap = y % 4 == 1 ? x == 1 : x == w - 2;
      canvas.At(x, y) = (inside && (y % 2 == 0 || gap)) || (y == 0 && x == 1) ? path : wall;
    }
  TReach settings;
  settings.Connected = true;
  TReachTarget target(path, settings);
  target.Make(canvas);
  const std::vector<TPixel>& out = target.Target();
  EXPECT_EQ(out[size_t(h - 2) * w + w / 2], 0u);
  EXPECT_EQ(out[size_t(2) * w + w / 2], 0u);
  EXPECT_EQ(out[size_t(1) * w + w / 2], wall);
}

// Made again only around what changed, frame after frame of random patches,
// the target equals one made whole, and the bounds answered hold every pixel
// that changed in it.
TEST(Background, ATargetMadeAroundAChangeEqualsOneMadeWhole) {
  const TPixel white = OpaquePixel(255, 255, 255), colors[] = {white, white, OpaquePixel(250, 250, 248), OpaquePixel(20, 40, 200), OpaquePixel(120, 130, 220), 0};
  for (const TReach& settings : {TReach{10, false, {}}, TReach{0, true, {}},
                                      TReach{6, true, RGBColor(0x20, 0x20, 0x20), true}, TReach{0, false, RGBColor(0, 0, 255), true}}) {
    TCanvas canvas(TRect{3, 2, 51, 42});
    TReachTarget made(white, settings), whole(white, settings);
    auto next = [seed = 99u](int n) mutable { return int((seed = seed * 1103515245u + 12345u) >> 16) % n; };
    for (int step = 0; step < 40; ++step) {
      const TRect r = TRect::Sized(3 + next(40), 2 + next(32), 1 + next(12), 1 + next(10)).Intersected(canvas.Bounds());
      for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)  // now and then a colour never seen before
          canvas.At(x, y) = next(8) ? colors[next(6)] : OpaquePixel(uint8_t(next(256)), uint8_t(next(256)), 200);
      const std::vector<TPixel> before = made.Target();
      const TRect moved = made.Make(canvas, r);
      whole.Make(canvas);
      ASSERT_EQ(made.Target(), whole.Target()) << "step " << step;
      for (size_t i = 0; i < before.size(); ++i)
        if (before[i] != whole.Target()[i]) {
          ASSERT_TRUE(moved.Contains(3 + int(i % 48), 2 + int(i / 48))) << "step " << step;
        }
    }
  }
}

namespace {

// What a viewer sees the same: alpha everywhere, colour where it shows.
bool Looks(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  const auto same = [](uint32_t x, uint32_t y) { return x >> 24 == y >> 24 && (x >> 24 == 0 || x == y); };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), same);
}

// A picture after those shown, merged with the last one where it looks the same.
void Append(std::vector<TShown>& shown, TShown next) {
  if (!shown.empty() && Looks(shown.back().Pixels, next.Pixels)) shown.back().Ms += next.Ms;
  else shown.push_back(std::move(next));
}

// The same animation with frame k shown for 3k hundredths.
QByteArray Delayed(QByteArray gif) {
  const TFrameWalk walk = WalkGifFrames(gif);
  for (size_t k = 0; k < walk.Frames.size(); ++k) gif[walk.Frames[k].Gce + 4] = char(k * 3);
  return gif;
}

}  // namespace

// A choice saved as WebP, read back by libwebp: each picture is the file as
// giflib composes it (the tests' compositor), its first frame's transparency
// set aside, with every pixel of the chosen colour transparent, for the
// frame's own delay (hundredths; 0 plays as 100 ms). A frame whose data
// cannot be decoded writes nothing.
TEST(Background, AChoiceSavedAsWebpShowsEachFrameAsComposedWithTheColourTaken) {
  std::vector<TAnimPlan> plans;
  for (const uint8_t disposal : {1, 2, 3}) plans.push_back(DisposedSquares(disposal, disposal, 1));
  TAnimPlan local = DisposedSquares(1, 2, 3);
  local.Frames[1].LocalColors = {kGreen, kWhite, kBlack, kRed};  // white at 1 in its own table
  local.Frames[2].Interlaced = true;
  plans.push_back(local);
  TAnimPlan clearFirst = DisposedSquares(2, 1, 1);  // a first frame wholly transparent, disposed
  clearFirst.Frames[0] = Full(Filled(clearFirst.Width, clearFirst.Height, 3), Packed(2, true));
  clearFirst.Frames[0].TransparentIndex = 3;
  plans.push_back(clearFirst);
  QTemporaryDir dir;
  for (size_t c = 0; c < plans.size(); ++c) {
    SCOPED_TRACE(c);
    const QByteArray file = Delayed(MakeAnimation(plans[c]));
    TAnimPlan aside = plans[c];
    *aside.Frames[0].Packed &= ~1;
    const auto composed = ComposeFrames(Delayed(MakeAnimation(aside)), TControlReading::Last);
    ASSERT_TRUE(composed);
    std::vector<TShown> expected;
    for (size_t k = 0; k < composed->Canvases.size(); ++k) {
      std::vector<TPixel> want = composed->Canvases[k];
      for (TPixel& p : want) p = p == 0xFFFFFFFFu ? 0 : p;
      Append(expected, {want, k == 0 ? 100 : int(k) * 30});
    }
    TGifDocument doc;
    ASSERT_TRUE(doc.ReadGifHeader(file));
    doc.TransparentOn = true;
    doc.TransparentIndex = 0;  // white
    const QString target = dir.filePath(QStringLiteral("c%1.webp").arg(c));
    const TAlphaOutcome outcome = SaveChoiceWithAlpha(doc, true, TAlphaFormat::WebP, target);
    ASSERT_TRUE(outcome.Error.isEmpty()) << outcome.Error.toStdString();
    int width = 0;
    std::vector<TShown> shown;
    for (TShown& picture : DecodedWebp(ReadAll(target), width)) Append(shown, std::move(picture));
    EXPECT_EQ(width, plans[c].Width);
    ASSERT_EQ(shown.size(), expected.size());
    for (size_t k = 0; k < shown.size(); ++k) {
      EXPECT_TRUE(Looks(shown[k].Pixels, expected[k].Pixels)) << "picture " << k;
      EXPECT_EQ(shown[k].Ms, expected[k].Ms) << "picture " << k;
    }
    // The last frame's data cut short: refused by name, nothing written.
    const QByteArray cut = file.left(WalkGifFrames(file).Frames.back().End - 3) + char(0) + char(0x3B);
    ASSERT_TRUE(doc.ReadGifHeader(cut));
    doc.TransparentOn = true;
    const QString damaged = dir.filePath(QStringLiteral("d%1.webp").arg(c));
    const TAlphaOutcome refused = SaveChoiceWithAlpha(doc, true, TAlphaFormat::WebP, damaged);
    EXPECT_FALSE(refused.Error.isEmpty());
    EXPECT_FALSE(QFile::exists(damaged));
  }
}
