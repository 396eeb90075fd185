// Writes the seed corpora of the fuzz targets: small, valid files of every
// kind each target reads (and a few cut short), made here from scratch.
// Usage: make_seeds DIR; writes DIR/<target>/seed-<n>.
#include <gif_lib.h>

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

QString OutDir;

void Write(const QString& target, const QByteArray& bytes) {
  static QHash<QString, int> counts;
  const QString dir = OutDir + QLatin1Char('/') + target;
  QDir().mkpath(dir);
  QFile f(dir + QStringLiteral("/seed-%1").arg(counts[target]++, 3, 10, QLatin1Char('0')));
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(f.fileName()));
    std::exit(1);
  }
}

void Put16(QByteArray& b, uint16_t v) { b.append(char(v & 0xFF)).append(char(v >> 8)); }
void Put32(QByteArray& b, uint32_t v) { Put16(b, uint16_t(v)); Put16(b, uint16_t(v >> 16)); }

// --- GIF ------------------------------------------------------------------

struct TGifRecipe {
  int Width = 8, Height = 6;
  int GlobalColours = 16;  // 0: none
  int LocalColours = 0;    // 0: none
  bool Gif89 = true;
  int Transparent = -1;    // GCE with this index; -2: no GCE at all
  bool Comment = false;
  bool Interlace = false;
  int Left = 0, Top = 0;
  bool AppExtension = false;
};

int WriteToArray(GifFileType* gif, const GifByteType* bytes, int n) {
  static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), n);
  return n;
}

ColorMapObject* Ramp(int n, int seed) {
  std::vector<GifColorType> colours(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    colours[size_t(i)] = {GifByteType(i * 37 + seed), GifByteType(i * 91 + 2 * seed), GifByteType(255 - i * 13)};
  return GifMakeMapObject(n, colours.data());
}

QByteArray MakeGif(const TGifRecipe& s) {
  QByteArray out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, &WriteToArray, &error);
  EGifSetGifVersion(gif, s.Gif89);
  ColorMapObject* global = s.GlobalColours ? Ramp(s.GlobalColours, 3) : nullptr;
  ColorMapObject* local = s.LocalColours ? Ramp(s.LocalColours, 7) : nullptr;
  EGifPutScreenDesc(gif, s.Width + s.Left, s.Height + s.Top, 8, 0, global);
  if (s.AppExtension) {
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    const unsigned char loop[3] = {1, 0, 0};
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
  }
  if (s.Comment) EGifPutComment(gif, "made for the fuzzers");
  if (s.Transparent != -2) {
    const unsigned char gce[4] = {uint8_t(s.Transparent >= 0 ? 0x09 : 0x08), 10, 0,
                                  uint8_t(s.Transparent >= 0 ? s.Transparent : 0)};
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce);
  }
  EGifPutImageDesc(gif, s.Left, s.Top, s.Width, s.Height, s.Interlace, local);
  const int colours = s.LocalColours ? s.LocalColours : std::max(2, s.GlobalColours);
  std::vector<GifPixelType> row(size_t(s.Width));
  for (int y = 0; y < s.Height; ++y) {
    for (int x = 0; x < s.Width; ++x) row[size_t(x)] = GifPixelType((x / 2 + y * 3) % colours);
    EGifPutLine(gif, row.data(), s.Width);
  }
  EGifCloseFile(gif, &error);
  GifFreeMapObject(global);
  GifFreeMapObject(local);
  return out;
}

std::vector<QByteArray> GifSeeds() {
  std::vector<QByteArray> gifs;
  const auto add = [&](const std::function<void(TGifRecipe&)>& change) {
    TGifRecipe s;
    change(s);
    gifs.push_back(MakeGif(s));
  };
  add([](TGifRecipe&) {});
  add([](TGifRecipe& s) { s.Transparent = 5; });
  add([](TGifRecipe& s) { s.Transparent = -2; s.Gif89 = false; });
  add([](TGifRecipe& s) { s.GlobalColours = 0; s.LocalColours = 4; s.Transparent = 1; });
  add([](TGifRecipe& s) { s.GlobalColours = 2; s.Width = 1; s.Height = 1; });
  add([](TGifRecipe& s) { s.GlobalColours = 256; s.Width = 20; s.Height = 17; s.Comment = true; });
  add([](TGifRecipe& s) { s.Interlace = true; s.Height = 19; s.AppExtension = true; });
  add([](TGifRecipe& s) { s.Left = 3; s.Top = 2; s.LocalColours = 8; s.Transparent = 7; });
  add([](TGifRecipe& s) { s.GlobalColours = 0; s.LocalColours = 0; s.Transparent = -2; });
  // Cut short: in the colour table, in the extensions, in the pixel data.
  const QByteArray whole = gifs[1];
  gifs.push_back(whole.left(20));
  gifs.push_back(whole.left(13 + 48 + 4));
  gifs.push_back(whole.left(whole.size() - 6));
  // Animations: the frame blocks of a 16-colour seed repeated, one frame with
  // its own table and one without a control block among them.
  const auto frames = [](const QByteArray& gif) { return gif.mid(13 + 48, gif.size() - 13 - 48 - 1); };
  const QByteArray plain = gifs[0], local = MakeGif([] { TGifRecipe s; s.LocalColours = 4; return s; }());
  const QByteArray bare = MakeGif([] { TGifRecipe s; s.Transparent = -2; return s; }());
  gifs.push_back(whole.left(whole.size() - 1) + frames(plain) + frames(local) + frames(bare) + "\x3B");
  gifs.push_back(plain.left(plain.size() - 1) + frames(bare) + frames(whole) + frames(bare).left(9));
  return gifs;
}

// --- BMP ------------------------------------------------------------------

struct TBmpRecipe {
  int Width = 7, Height = 5;
  int Bits = 8;            // 1, 4, 8, 16, 24, 32
  uint32_t Compression = 0;  // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields
  bool TopDown = false;
  bool Core = false;       // 12-byte header
  int Colours = 0;         // table entries written (indexed); 0: full
  bool ManyColours = false;  // more than 256 distinct colours
};

uint32_t PixelValue(const TBmpRecipe& s, int x, int y) {
  if (s.Bits <= 8) return uint32_t((x + 2 * y) % (1 << s.Bits));
  if (s.ManyColours) return uint32_t((x * 9) | (y * 7) << 8 | ((x ^ y) * 5) << 16);
  return uint32_t(((x % 4) * 60) | ((y % 3) * 80) << 8 | 0x40 << 16);
}

QByteArray Rows(const TBmpRecipe& s) {
  QByteArray rows;
  if (s.Compression == 1 || s.Compression == 2) {
    for (int y = 0; y < s.Height; ++y) {
      // One run of the row's colour, then end of line.
      rows.append(char(s.Width)).append(char(s.Compression == 1 ? y % 200 : 0x12));
      rows.append('\0').append('\0');
    }
    rows.append('\0').append('\1');
    return rows;
  }
  const int stride = ((s.Width * s.Bits + 31) / 32) * 4;
  for (int y = 0; y < s.Height; ++y) {
    QByteArray row(stride, '\0');
    for (int x = 0; x < s.Width; ++x) {
      const uint32_t v = PixelValue(s, x, y);
      const int bit = x * s.Bits;
      switch (s.Bits) {
        case 1: case 4: case 8:
          row[bit / 8] = char(uint8_t(row[bit / 8]) | v << (8 - s.Bits - bit % 8));
          break;
        case 16: qToLittleEndian<uint16_t>(uint16_t((v & 0x1F) | ((v >> 8) & 0x1F) << 5 | ((v >> 16) & 0x1F) << 10), row.data() + x * 2); break;
        case 24: row[x * 3] = char(v >> 16); row[x * 3 + 1] = char(v >> 8); row[x * 3 + 2] = char(v); break;
        case 32: qToLittleEndian<uint32_t>(v, row.data() + x * 4); break;
      }
    }
    rows += row;
  }
  return rows;
}

QByteArray MakeBmp(const TBmpRecipe& s) {
  const int tableEntries = s.Bits <= 8 ? (s.Colours ? s.Colours : 1 << s.Bits) : 0;
  const int entrySize = s.Core ? 3 : 4;
  const int infoSize = s.Core ? 12 : 40;
  const int masks = s.Compression == 3 ? 12 : 0;
  const QByteArray rows = Rows(s);
  const uint32_t offset = 14 + infoSize + masks + tableEntries * entrySize;
  QByteArray b("BM");
  Put32(b, offset + rows.size());
  Put32(b, 0);
  Put32(b, offset);
  Put32(b, infoSize);
  if (s.Core) {
    Put16(b, uint16_t(s.Width));
    Put16(b, uint16_t(s.Height));
    Put16(b, 1);
    Put16(b, uint16_t(s.Bits));
  } else {
    Put32(b, uint32_t(s.Width));
    Put32(b, uint32_t(s.TopDown ? -s.Height : s.Height));
    Put16(b, 1);
    Put16(b, uint16_t(s.Bits));
    Put32(b, s.Compression);
    Put32(b, uint32_t(rows.size()));
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, uint32_t(s.Colours));
    Put32(b, 0);
  }
  if (masks) {
    Put32(b, s.Bits == 16 ? 0x7C00 : 0xFF0000);
    Put32(b, s.Bits == 16 ? 0x03E0 : 0x00FF00);
    Put32(b, s.Bits == 16 ? 0x001F : 0x0000FF);
  }
  for (int i = 0; i < tableEntries; ++i) {
    b.append(char(i * 17)).append(char(255 - i * 5)).append(char(i * 29));
    if (!s.Core) b.append('\0');
  }
  return b + rows;
}

std::vector<QByteArray> BmpSeeds() {
  std::vector<QByteArray> bmps;
  const auto add = [&](const std::function<void(TBmpRecipe&)>& change) {
    TBmpRecipe s;
    change(s);
    bmps.push_back(MakeBmp(s));
  };
  add([](TBmpRecipe&) {});
  add([](TBmpRecipe& s) { s.Bits = 1; s.Width = 13; });
  add([](TBmpRecipe& s) { s.Bits = 4; s.Colours = 6; });
  add([](TBmpRecipe& s) { s.Bits = 8; s.TopDown = true; s.Colours = 40; });
  add([](TBmpRecipe& s) { s.Bits = 8; s.Core = true; });
  add([](TBmpRecipe& s) { s.Bits = 8; s.Compression = 1; s.Width = 9; });
  add([](TBmpRecipe& s) { s.Bits = 4; s.Compression = 2; s.Width = 9; });
  add([](TBmpRecipe& s) { s.Bits = 16; s.Compression = 3; });
  add([](TBmpRecipe& s) { s.Bits = 24; });
  add([](TBmpRecipe& s) { s.Bits = 24; s.ManyColours = true; s.Width = 24; s.Height = 20; });
  add([](TBmpRecipe& s) { s.Bits = 32; s.ManyColours = true; s.Width = 20; s.Height = 16; s.TopDown = true; });
  add([](TBmpRecipe& s) { s.Bits = 32; s.Compression = 3; });
  const QByteArray whole = bmps[8];
  bmps.push_back(whole.left(whole.size() - 10));  // rows cut short
  return bmps;
}

// --- plug-in output -------------------------------------------------------

QByteArray Dib(int width, int height, int bits, int clrUsed) {
  TBmpRecipe s;
  s.Width = width;
  s.Height = height;
  s.Bits = bits;
  s.Colours = clrUsed;
  const QByteArray bmp = MakeBmp(s);
  const uint32_t offset = qFromLittleEndian<uint32_t>(bmp.constData() + 10);
  const QByteArray header = bmp.mid(14, offset - 14);
  QByteArray input;
  Put16(input, uint16_t(header.size()));
  return input + header + bmp.mid(offset);
}

// --- PNG and JPEG ---------------------------------------------------------

// A picture of w x h with about `colours` colours; with alpha, its first
// column see-through and its second half-transparent.
QImage Picture(int w, int h, int colours, QImage::Format format) {
  QImage image(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int c = (y * w + x) % colours;
      image.setPixel(x, y, qRgba(c * 37 % 256, c * 11 % 256, 255 - c % 256, x == 0 ? 0 : x == 1 ? 100 : 255));
    }
  return image.convertToFormat(format);
}

QByteArray Encoded(const QImage& image, const char* format, bool progressive = false) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  writer.setProgressiveScanWrite(progressive);
  if (!writer.write(image)) {
    std::fprintf(stderr, "cannot write a %s seed: %s\n", format, qPrintable(writer.errorString()));
    std::exit(1);
  }
  return buffer.data();
}

std::vector<QByteArray> PngSeeds() {
  std::vector<QByteArray> pngs;
  pngs.push_back(Encoded(Picture(7, 5, 6, QImage::Format_RGB32), "png"));
  pngs.push_back(Encoded(Picture(9, 4, 5, QImage::Format_ARGB32), "png"));
  pngs.push_back(Encoded(Picture(24, 20, 480, QImage::Format_ARGB32), "png"));  // reduced, with see-through pixels
  pngs.push_back(Encoded(Picture(24, 20, 480, QImage::Format_RGB32), "png"));
  pngs.push_back(Encoded(Picture(6, 6, 4, QImage::Format_Grayscale8), "png"));
  pngs.push_back(Encoded(Picture(6, 6, 3, QImage::Format_RGBA64), "png"));
  pngs.push_back(Encoded(Picture(8, 3, 4, QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8), "png"));
  pngs.push_back(Encoded(Picture(5, 5, 2, QImage::Format_Mono), "png"));
  const QByteArray whole = pngs[2];
  pngs.push_back(whole.left(whole.size() - 30));  // cut short
  return pngs;
}

// An EXIF block saying the picture is stored turned a quarter (orientation 6).
QByteArray WithExifOrientation(const QByteArray& jpeg) {
  const QByteArray exif = QByteArray("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0", 32);
  QByteArray segment("\xFF\xE1");
  segment.append(char((exif.size() + 2) >> 8)).append(char((exif.size() + 2) & 0xFF)).append(exif);
  return jpeg.left(2) + segment + jpeg.mid(2);
}

std::vector<QByteArray> JpegSeeds() {
  std::vector<QByteArray> jpegs;
  jpegs.push_back(Encoded(Picture(8, 8, 5, QImage::Format_RGB32), "jpeg"));
  jpegs.push_back(Encoded(Picture(24, 20, 480, QImage::Format_RGB32), "jpeg", true));
  jpegs.push_back(Encoded(Picture(9, 7, 30, QImage::Format_Grayscale8), "jpeg"));
  jpegs.push_back(WithExifOrientation(Encoded(Picture(12, 5, 8, QImage::Format_RGB32), "jpeg")));
  const QByteArray whole = jpegs[1];
  jpegs.push_back(whole.left(whole.size() / 2));  // cut short
  return jpegs;
}

// The first frame's image data of a GIF as the frame decoder's target reads
// it: code size, width, height and interlace, then the data's bytes.
QByteArray FirstImageData(const QByteArray& gif) {
  const auto* b = reinterpret_cast<const uint8_t*>(gif.constData());
  const auto table = [](uint8_t packed) { return (packed & 0x80) ? 3 * (2 << (packed & 7)) : 0; };
  qsizetype pos = 13 + table(b[10]);
  const auto skipBlocks = [&](qsizetype at) {
    while (at < gif.size() && b[at] != 0) at += 1 + b[at];
    return at + 1;
  };
  while (pos + 10 < gif.size()) {
    if (b[pos] == 0x21) {
      pos = skipBlocks(pos + 2);
      continue;
    }
    if (b[pos] != 0x2C) break;
    const int w = b[pos + 5] | b[pos + 6] << 8, h = b[pos + 7] | b[pos + 8] << 8;
    const uint8_t packed = b[pos + 9];
    qsizetype at = pos + 10 + table(packed);
    if (at >= gif.size() || w < 1 || h < 1) break;
    QByteArray seed;
    seed += char(b[at] - 1), seed += char(w - 1), seed += char(h - 1), seed += char((packed & 0x40) ? 1 : 0);
    for (++at; at < gif.size() && b[at] != 0 && at + 1 + b[at] <= gif.size(); at += 1 + b[at])
      seed += gif.mid(at + 1, b[at]);
    return seed;
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  OutDir = QString::fromLocal8Bit(argv[1]);
  QCoreApplication app(argc, argv);  // Qt's image plug-ins (JPEG) are found through it

  const std::vector<QByteArray> gifs = GifSeeds();
  const std::vector<QByteArray> bmps = BmpSeeds();
  for (const QByteArray& gif : gifs) {
    Write(QStringLiteral("gif_header"), gif);
    Write(QStringLiteral("save_plan"), char(0x00) + gif);
    Write(QStringLiteral("save_plan"), char(0x01) + gif);
    // Entry, tolerance, region and matte flags (4: the first frame only), matte colour.
    Write(QStringLiteral("background"), QByteArray("\x00\x00\x03\x20\x20\x20", 6) + gif);
    Write(QStringLiteral("background"), QByteArray("\x01\x0A\x06\x3A\x7B\xD5", 6) + gif);
    Write(QStringLiteral("gif_plugin"), gif);
    if (const QByteArray data = FirstImageData(gif); data.size() > 4) Write(QStringLiteral("frame_decoder"), data);
    Write(QStringLiteral("file_open"), char(0x00) + gif);
    Write(QStringLiteral("file_open"), char(0x35) + gif);
  }
  for (size_t i = 0; i < bmps.size(); ++i) {
    Write(QStringLiteral("bmp"), bmps[i]);
    Write(QStringLiteral("file_open"), char(0x80 + i % 4) + bmps[i]);
  }
  for (const QByteArray& png : PngSeeds()) Write(QStringLiteral("png"), png);
  for (const QByteArray& jpeg : JpegSeeds()) Write(QStringLiteral("jpeg"), jpeg);
  for (int bits : {1, 4, 8, 24, 32}) Write(QStringLiteral("dib_convert"), Dib(5, 3, bits, 0));
  Write(QStringLiteral("dib_convert"), Dib(3, 2, 8, 12));
  Write(QStringLiteral("dib_convert"), Dib(17, 1, 1, 2));

  const QByteArray ini =
      "[MainForm]\r\nLeft=120\r\nTop=$40\r\nWidth=0x280\r\nZoom=1.5\r\nCaption=Tomaru ver1.00\r\n\r\n"
      "[Font]\r\nFont0=Obj.Interval = 250\r\nFont1=Obj.SingleShot = True\r\nFont2=Obj.objectName = 'a''b'#13'c'\r\n"
      "Font3=Obj.TimerType = PreciseTimer\r\n\r\n[Empty]\r\n; a comment\r\nno equals sign\r\n";
  Write(QStringLiteral("ini"), ini);
  Write(QStringLiteral("ini"), "\xEF\xBB\xBF" + QByteArray(ini).replace("\r\n", "\n"));
  Write(QStringLiteral("ini"), QByteArray(ini).replace("\r\n", "\r"));
  Write(QStringLiteral("ini"), "[a]\n[A]\nx=1\n[ b ]\n x = -2147483648 \ny=1E300\n");

  Write(QStringLiteral("recent"), "/home/user/a.gif\r\n/home/user/b & c.bmp\r\n\r\n/tmp/x.gif\r\n");
  Write(QStringLiteral("recent"), "/a.gif\n/b.gif\r/c.gif");
  Write(QStringLiteral("recent"), QByteArray("/a.gif\r\n\0/hidden.gif\r\n", sizeof "/a.gif\r\n\0/hidden.gif\r\n" - 1));
  QByteArray eleven;
  for (int i = 0; i < 11; ++i) eleven += "/pictures/" + QByteArray::number(i) + ".gif\r\n";
  Write(QStringLiteral("recent"), eleven);
  return 0;
}
