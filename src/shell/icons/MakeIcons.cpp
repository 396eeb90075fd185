// Draws the program's icons and the dock tile as PNG files into the folder
// given on the command line. The PNGs are kept in the repository; run this
// again (target tomaru_makeicons) after changing a drawing.
// With --hicolor first, draws only the program icon, in the sizes a desktop
// asks its icon theme for, as DIR/<n>x<n>/apps/tomaru.png (the build does this
// for installing).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <functional>

namespace {

using TDraw = std::function<void(QPainter&)>;

const QColor kOutline(60, 60, 70);

QImage Canvas(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

QImage Draw(int size, const TDraw& draw, qreal scale = 1) {
  QImage image = Canvas(size, size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  draw(p);
  return image;
}

// 0: an open yellow folder.
void OpenFolder(QPainter& p) {
  QPainterPath back;
  back.moveTo(1.5, 13.5);
  back.lineTo(1.5, 3.5);
  back.lineTo(5.5, 3.5);
  back.lineTo(6.5, 4.5);
  back.lineTo(12.5, 4.5);
  back.lineTo(12.5, 13.5);
  back.closeSubpath();
  p.setPen(QPen(QColor(140, 100, 0), 1));
  p.setBrush(QColor(222, 170, 30));
  p.drawPath(back);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3, 5.5, 8, 4));
  QPainterPath front;
  front.moveTo(1.5, 13.5);
  front.lineTo(4.5, 7.5);
  front.lineTo(15.5, 7.5);
  front.lineTo(12.5, 13.5);
  front.closeSubpath();
  QLinearGradient g(0, 7, 0, 14);
  g.setColorAt(0, QColor(255, 226, 110));
  g.setColorAt(1, QColor(245, 190, 40));
  p.setPen(QPen(QColor(140, 100, 0), 1));
  p.setBrush(g);
  p.drawPath(front);
}

// 1: a floppy disk.
void Floppy(QPainter& p) {
  QPainterPath body;
  body.moveTo(1.5, 1.5);
  body.lineTo(12.5, 1.5);
  body.lineTo(14.5, 3.5);
  body.lineTo(14.5, 14.5);
  body.lineTo(1.5, 14.5);
  body.closeSubpath();
  p.setPen(QPen(QColor(20, 40, 100), 1));
  p.setBrush(QColor(50, 95, 190));
  p.drawPath(body);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(215, 222, 230));
  p.drawRect(QRectF(4, 2, 7, 4.5));
  p.setBrush(QColor(50, 95, 190));
  p.drawRect(QRectF(8.5, 2.8, 1.5, 3));
  p.setPen(QPen(QColor(20, 40, 100), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(3.5, 8.5, 9, 6));
  p.setPen(QPen(QColor(150, 160, 190), 1));
  p.drawLine(QPointF(5, 10.5), QPointF(11, 10.5));
  p.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
}

// 2: a window with an arrow pointing out of its corner.
void FullScreen(QPainter& p) {
  p.setPen(QPen(QColor(40, 60, 110), 1));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(0.5, 4.5, 11, 10));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(60, 110, 200));
  p.drawRect(QRectF(1, 5, 10, 2.5));
  QPen arrow(QColor(20, 140, 40), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(arrow);
  p.drawLine(QPointF(7, 9), QPointF(13.5, 2.5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 140, 40));
  QPolygonF head;
  head << QPointF(15.5, 0.5) << QPointF(15.5, 7) << QPointF(9, 0.5);
  p.drawPolygon(head);
}

// 3: a grid of coloured squares.
void Palette(QPainter& p) {
  const QColor colours[9] = {QColor(230, 40, 40),  QColor(250, 200, 30), QColor(40, 170, 60),
                             QColor(40, 110, 230), QColor(160, 60, 200), QColor(250, 130, 30),
                             QColor(30, 190, 200), QColor(240, 100, 170), QColor(120, 120, 120)};
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) {
      p.setPen(kOutline);
      p.setBrush(colours[row * 3 + col]);
      p.drawRect(1 + col * 5, 1 + row * 5, 4, 4);
    }
}

// 4: a magnifying glass over a page.
void Preview(QPainter& p) {
  QPainterPath page;
  page.moveTo(1.5, 0.5);
  page.lineTo(8.5, 0.5);
  page.lineTo(11.5, 3.5);
  page.lineTo(11.5, 14.5);
  page.lineTo(1.5, 14.5);
  page.closeSubpath();
  p.setPen(QPen(QColor(110, 110, 120), 1));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.drawLine(QPointF(8.5, 0.5), QPointF(8.5, 3.5));
  p.drawLine(QPointF(8.5, 3.5), QPointF(11.5, 3.5));
  p.setPen(QPen(QColor(170, 180, 200), 1));
  for (qreal y : {4.5, 6.5, 8.5}) p.drawLine(QPointF(3, y), QPointF(7, y));
  p.setPen(QPen(QColor(120, 70, 20), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(11.5, 11.5), QPointF(14.5, 14.5));
  QRadialGradient lens(QPointF(8, 8), 4.5, QPointF(7, 7));
  lens.setColorAt(0, QColor(230, 245, 255, 230));
  lens.setColorAt(1, QColor(140, 190, 240, 230));
  p.setPen(QPen(QColor(50, 60, 80), 1.4));
  p.setBrush(lens);
  p.drawEllipse(QPointF(8.5, 8.5), 4, 4);
}

// 5: a book with a question mark.
void HelpBook(QPainter& p) {
  p.setPen(QPen(QColor(20, 40, 110), 1));
  p.setBrush(QColor(230, 230, 220));
  p.drawRect(QRectF(3.5, 2.5, 11, 13));
  QLinearGradient cover(2, 0, 13, 0);
  cover.setColorAt(0, QColor(40, 80, 180));
  cover.setColorAt(1, QColor(70, 130, 230));
  p.setBrush(cover);
  p.drawRoundedRect(QRectF(1.5, 0.5, 11, 13), 1, 1);
  p.setPen(QPen(QColor(20, 40, 110), 1));
  p.drawLine(QPointF(3.5, 1), QPointF(3.5, 13));
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(11);
  f.setBold(true);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(QRectF(3.5, 1, 9, 12), Qt::AlignCenter, QStringLiteral("?"));
}

// 6: plug-in information: a puzzle piece with an "i".
void PlugIn(QPainter& p) {
  QPainterPath piece;
  piece.moveTo(1.5, 4.5);
  piece.lineTo(5, 4.5);
  piece.arcTo(QRectF(5, 1.5, 4, 4), 210, -240);
  piece.lineTo(12.5, 4.5);
  piece.lineTo(12.5, 8);
  piece.arcTo(QRectF(11.5, 8, 4, 4), 120, -240);
  piece.lineTo(12.5, 14.5);
  piece.lineTo(1.5, 14.5);
  piece.closeSubpath();
  QLinearGradient g(0, 2, 0, 15);
  g.setColorAt(0, QColor(120, 210, 90));
  g.setColorAt(1, QColor(40, 150, 50));
  p.setPen(QPen(QColor(20, 90, 30), 1));
  p.setBrush(g);
  p.drawPath(piece);
  p.setPen(QPen(QColor(20, 60, 150), 1));
  p.setBrush(QColor(60, 120, 220));
  p.drawEllipse(QPointF(6.5, 10), 3.5, 3.5);
  p.setPen(QPen(Qt::white, 1.4));
  p.drawLine(QPointF(6.5, 9.5), QPointF(6.5, 12));
  p.drawPoint(QPointF(6.5, 7.8));
}

// 7: a paint bucket.
void PaintBucket(QPainter& p) {
  p.save();
  p.translate(7, 8);
  p.rotate(-30);
  QPainterPath bucket;
  bucket.moveTo(-4.5, -3.5);
  bucket.lineTo(4.5, -3.5);
  bucket.lineTo(3.5, 5.5);
  bucket.lineTo(-3.5, 5.5);
  bucket.closeSubpath();
  QLinearGradient g(-4, 0, 4, 0);
  g.setColorAt(0, QColor(150, 155, 165));
  g.setColorAt(0.5, QColor(235, 238, 242));
  g.setColorAt(1, QColor(130, 135, 145));
  p.setPen(QPen(QColor(70, 75, 85), 1));
  p.setBrush(g);
  p.drawPath(bucket);
  p.setBrush(QColor(220, 40, 40));
  p.drawEllipse(QPointF(0, -3.5), 4.5, 1.5);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(-4.5, -8, 9, 9), 0, 180 * 16);
  p.restore();
  QPainterPath drop;
  drop.moveTo(13, 7);
  drop.cubicTo(14, 10, 15.5, 11.5, 15.5, 13);
  drop.arcTo(QRectF(10.5, 10.5, 5, 5), 0, -180);
  drop.cubicTo(10.5, 11.5, 12, 10, 13, 7);
  p.setPen(QPen(QColor(140, 20, 20), 0.8));
  p.setBrush(QColor(230, 50, 50));
  p.drawPath(drop);
}

// 8: two squares with turning arrows (switching the design).
void Classic(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QColor(40, 60, 120));
  p.setBrush(QColor(90, 140, 230));
  p.drawRect(0, 0, 6, 6);
  p.setPen(QColor(120, 70, 20));
  p.setBrush(QColor(240, 160, 60));
  p.drawRect(9, 9, 6, 6);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QColor green(20, 140, 40);
  p.setPen(QPen(green, 1.6, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(8.5, 1.5, 6, 6), 180 * 16, -180 * 16);  // over the top, towards the orange square
  p.drawArc(QRectF(1.5, 8.5, 6, 6), 0, -180 * 16);         // under the bottom, back to the blue one
  p.setPen(Qt::NoPen);
  p.setBrush(green);
  QPolygonF down, up;
  down << QPointF(12, 4.5) << QPointF(16, 4.5) << QPointF(14, 8);
  up << QPointF(0, 11.5) << QPointF(4, 11.5) << QPointF(2, 8);
  p.drawPolygon(down);
  p.drawPolygon(up);
}

// 11: a blue cross.
void DeleteCross(QPainter& p) {
  p.setPen(QPen(QColor(20, 40, 120), 4.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3, 3), QPointF(13, 13));
  p.drawLine(QPointF(13, 3), QPointF(3, 13));
  p.setPen(QPen(QColor(60, 120, 230), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(3, 3), QPointF(13, 13));
  p.drawLine(QPointF(13, 3), QPointF(3, 13));
}

// The program icon, in a 32-unit square: a picture whose background has
// become transparent (the checkerboard) and the eyedropper that picked it.
void Program(QPainter& p) {
  QPainterPath tile;
  tile.addRoundedRect(QRectF(1.5, 1.5, 29, 29), 5, 5);
  p.setPen(QPen(QColor(30, 60, 120), 1));
  p.setBrush(Qt::white);
  p.drawPath(tile);
  p.save();
  p.setClipPath(tile);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(200, 205, 215));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      if ((x + y) % 2) p.drawRect(QRectF(x * 4, y * 4, 4, 4));
  p.restore();
  QLinearGradient sun(6, 6, 20, 20);
  sun.setColorAt(0, QColor(255, 150, 60));
  sun.setColorAt(1, QColor(220, 60, 60));
  p.setPen(QPen(QColor(140, 30, 30), 1));
  p.setBrush(sun);
  p.drawEllipse(QPointF(13, 14), 7.5, 7.5);
  p.save();
  p.translate(23, 11);
  p.rotate(45);
  p.setPen(QPen(QColor(30, 30, 40), 1));
  p.setBrush(QColor(60, 110, 210));
  p.drawRoundedRect(QRectF(-2.5, -10, 5, 6), 1.5, 1.5);
  p.setBrush(QColor(230, 240, 250));
  p.drawRect(QRectF(-1.5, -4, 3, 11));
  p.setBrush(QColor(30, 30, 40));
  p.drawRect(QRectF(-3.5, -4.5, 7, 1.5));
  p.restore();
}

// The dock tile: white fading to a pale blue in four steps, with a
// diagonal pattern of small dots; eight colours, within the sixteen a tile
// may have.
QImage DockTile() {
  QImage image(27, 24, QImage::Format_RGB32);
  for (int y = 0; y < 24; ++y) {
    const int step = y / 6;
    const QColor base(255 - step * 7, 255 - step * 4, 255 - step);
    for (int x = 0; x < 27; ++x) {
      const bool dot = (y % 3 == 1) && ((x + y) % 9 == 0);
      image.setPixelColor(x, y, dot ? base.darker(112) : base);
    }
  }
  return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
}

// The drop-down arrow of a toolbar button in the modern design (7 x 4).
QImage DropArrow() {
  QImage image = Canvas(7, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = y; x < 7 - y; ++x) image.setPixelColor(x, y, QColor(40, 50, 70));
  return image;
}

bool Save(const QImage& image, const QString& path) {
  if (image.save(path)) return true;
  qWarning("cannot write %s", qPrintable(path));
  return false;
}

}  // namespace

bool SaveHicolor(const QString& out) {
  bool ok = true;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
    QDir().mkpath(dir);
    ok &= Save(Draw(size, Program, size / 32.0), dir + QStringLiteral("/tomaru.png"));
  }
  return ok;
}

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc > 2 && QByteArray(argv[1]) == "--hicolor") return SaveHicolor(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(out);
  const std::pair<int, TDraw> commands[] = {{0, OpenFolder}, {1, Floppy},   {2, FullScreen}, {3, Palette},
                                            {4, Preview},    {5, HelpBook}, {6, PlugIn},     {7, PaintBucket},
                                            {8, Classic},    {11, DeleteCross}};
  bool ok = true;
  for (const auto& [index, draw] : commands) ok &= Save(Draw(16, draw), QStringLiteral("%1/cmd%2.png").arg(out).arg(index));
  for (int size : {16, 32, 48, 64}) ok &= Save(Draw(size, Program, size / 32.0), QStringLiteral("%1/tomaru%2.png").arg(out).arg(size));
  ok &= Save(DropArrow(), out + QStringLiteral("/arrow.png"));
  const QImage tile = DockTile();
  if (tile.colorCount() > 16) qWarning("the dock tile has %d colours", int(tile.colorCount()));
  ok &= Save(tile, out + QStringLiteral("/tbbg.png"));
  return ok ? 0 : 1;
}
