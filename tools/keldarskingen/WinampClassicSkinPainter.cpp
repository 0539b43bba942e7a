#include "WinampClassicSkinPainter.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <random>

namespace {

void Bevel(QPainter& p, const QRect& r, const QColor& face, bool pressed) {
  p.fillRect(r, pressed ? face.darker(130) : face);
  p.setPen(pressed ? face.darker(200) : face.lighter(160));
  p.drawLine(r.topLeft(), r.topRight());
  p.drawLine(r.topLeft(), r.bottomLeft());
  p.setPen(pressed ? face.lighter(160) : face.darker(200));
  p.drawLine(r.bottomLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomRight());
}

// Our own look: a dark slate body with bevelled sprites where the classic layout keeps them.
QImage Art(const std::string& name, const QSize& size) {
  QImage img(size, QImage::Format_RGB888);
  const QColor body(38, 44, 58), face(84, 96, 122), lit(120, 200, 140), accent(210, 170, 70);
  img.fill(body);
  QPainter p(&img);
  const auto row = [&](int x, int y, const std::vector<int>& widths, int h, bool pressed, QColor c) {
    for (int w : widths) {
      Bevel(p, QRect(x, y, w, h), c, pressed);
      x += w;
    }
  };
  if (name == "main.bmp") {
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, body.lighter(140));
    g.setColorAt(1, body.darker(130));
    p.fillRect(img.rect(), g);
    p.fillRect(QRect(24, 26, 76, 36), Qt::black);  // display
    p.fillRect(QRect(107, 24, 160, 14), Qt::black);  // song line
    p.fillRect(QRect(66, 26, 9, 13), Qt::black);     // colon cell
    p.fillRect(QRect(69, 29, 2, 2), accent);
    p.fillRect(QRect(69, 35, 2, 2), accent);
  } else if (name == "cbuttons.bmp") {
    row(0, 0, {23, 23, 23, 23, 22, 22}, 18, false, face);
    row(0, 18, {23, 23, 23, 23, 22, 22}, 18, true, face);
  } else if (name == "titlebar.bmp") {
    row(0, 0, {9, 9, 9}, 9, false, face);
    row(0, 9, {9, 9, 9}, 9, true, face);
    p.fillRect(QRect(27, 0, 275, 14), accent.darker(150));
    p.fillRect(QRect(27, 15, 275, 14), body.lighter(120));
  } else if (name == "shufrep.bmp") {
    for (int r = 0; r < 4; ++r) row(0, 15 * r, {28, 47}, 15, r % 2 == 1, r >= 2 ? lit : face);
    row(0, 61, {23, 23}, 12, false, face);
    row(0, 73, {23, 23}, 12, false, lit);
    row(46, 61, {23, 23}, 12, true, face);
    row(46, 73, {23, 23}, 12, true, lit);
  } else if (name == "volume.bmp" || name == "balance.bmp") {
    const int x = name == "volume.bmp" ? 0 : 9;
    for (int k = 0; k < 28; ++k) {
      p.fillRect(QRect(x, 15 * k, 68, 13), Qt::black);
      p.fillRect(QRect(x + 2, 15 * k + 5, 64 * (k + 1) / 28, 3), QColor::fromHsv(120 - 4 * k, 200, 220));
    }
    Bevel(p, QRect(0, 422, 14, 11), accent, true);
    Bevel(p, QRect(15, 422, 14, 11), accent, false);
  } else if (name == "posbar.bmp") {
    p.fillRect(QRect(0, 0, 248, 10), Qt::black);
    p.fillRect(QRect(2, 4, 244, 2), face);
    Bevel(p, QRect(248, 0, 29, 10), accent, false);
    Bevel(p, QRect(278, 0, 29, 10), accent, true);
  } else if (name == "monoster.bmp") {
    p.fillRect(QRect(0, 0, 56, 12), lit);
    p.fillRect(QRect(0, 12, 56, 12), face.darker(150));
  } else if (name == "playpaus.bmp") {
    p.fillRect(img.rect(), Qt::black);
    p.setBrush(lit);
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygon({QPoint(1, 1), QPoint(7, 4), QPoint(1, 7)}));
    p.fillRect(QRect(10, 1, 2, 7), accent);
    p.fillRect(QRect(14, 1, 2, 7), accent);
    p.fillRect(QRect(19, 1, 7, 7), QColor(200, 80, 80));
  } else if (name == "text.bmp" || name == "numbers.bmp" || name == "nums_ex.bmp") {
    p.fillRect(img.rect(), Qt::black);
    // Cells get a small mark so each glyph is told apart even without a font.
    const int cw = name == "text.bmp" ? 5 : 9, ch = name == "text.bmp" ? 6 : 13;
    for (int y = 0; y + ch <= size.height(); y += ch)
      for (int x = 0; x + cw <= size.width(); x += cw) {
        const int k = (x / cw) + 31 * (y / ch);
        p.fillRect(QRect(x + 1, y + 1 + k % (ch - 2), cw - 2, 1), lit);
      }
    if (name != "text.bmp") p.fillRect(QRect(90, 0, 9, 13), Qt::black);  // the blank cell
  } else if (name == "eqmain.bmp") {
    p.fillRect(QRect(0, 0, 275, 116), body.lighter(115));
    p.fillRect(QRect(0, 116, 9, 9), face.darker(130));
    for (int g = 0; g < 4; ++g) row(10 + 59 * g, 119, {25, 33}, 12, g >= 2, g % 2 ? lit : face);
    p.fillRect(QRect(0, 134, 275, 14), accent.darker(150));
    p.fillRect(QRect(0, 149, 275, 14), body.lighter(120));
    Bevel(p, QRect(0, 164, 11, 11), accent, false);
    Bevel(p, QRect(0, 176, 11, 11), accent, true);
    for (int k = 0; k < 28; ++k) {
      const QRect r(13 + 15 * (k % 14), k < 14 ? 164 : 229, 14, 63);
      p.fillRect(r, Qt::black);
      p.fillRect(QRect(r.x() + 5, r.y() + 2, 4, 59), QColor::fromHsv(8 * k, 160, 200));
    }
    Bevel(p, QRect(224, 164, 44, 12), face, false);
    Bevel(p, QRect(224, 176, 44, 12), face, true);
    p.fillRect(QRect(0, 294, 113, 19), Qt::black);
    p.fillRect(QRect(0, 314, 113, 1), accent);
  } else if (name == "pledit.bmp") {
    row(0, 0, {25}, 20, false, accent.darker(150));
    row(26, 0, {100}, 20, false, accent.darker(150));
    row(127, 0, {25}, 20, false, accent.darker(150));
    row(153, 0, {25}, 20, false, accent.darker(150));
    row(0, 21, {25}, 20, false, face);
    row(26, 21, {100}, 20, false, face);
    row(127, 21, {25}, 20, false, face);
    row(153, 21, {25}, 20, false, face);
    p.fillRect(QRect(0, 42, 12, 29), face);
    p.fillRect(QRect(31, 42, 20, 29), face);
    Bevel(p, QRect(52, 53, 8, 18), accent, false);
    Bevel(p, QRect(61, 53, 8, 18), accent, true);
    p.fillRect(QRect(0, 72, 125, 38), face.darker(110));
    p.fillRect(QRect(179, 0, 25, 38), face.darker(110));
    p.fillRect(QRect(126, 72, 150, 38), face.darker(110));
    Bevel(p, QRect(167, 3, 9, 9), accent, false);
    Bevel(p, QRect(52, 42, 9, 9), accent, true);
    for (int k = 0; k < 4; ++k) Bevel(p, QRect(11 + 29 * k, 80, 25, 18), face, false);
    for (int r = 0; r < 3; ++r)
      for (int k = 0; k < 5; ++k) {
        const int s = std::array<int, 5>{0, 54, 104, 154, 204}[static_cast<std::size_t>(k)];
        Bevel(p, QRect(s, 111 + 19 * r, 22, 18), face, false);
        Bevel(p, QRect(s + 23, 111 + 19 * r, 22, 18), face, true);
      }
  } else if (name == "mb.bmp") {
    p.fillRect(QRect(0, 0, size.width(), 20), accent.darker(150));
    p.fillRect(QRect(0, 21, size.width(), 20), face);
    p.fillRect(QRect(127, 42, 60, 29), face);
    p.fillRect(QRect(0, 42, 125, 38), face.darker(110));
    p.fillRect(QRect(0, 81, 125, 38), face.darker(110));
    Bevel(p, QRect(167, 3, 9, 9), accent, false);
    Bevel(p, QRect(148, 42, 9, 9), accent, true);
  }
  return img;
}

QImage Noise(const QSize& size, unsigned seed) {
  QImage img(size, QImage::Format_RGB888);
  std::mt19937 rng(seed);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x) {
      const unsigned v = rng();
      // Never magenta or pure black: those are key colours in our skins.
      img.setPixel(x, y, qRgb(static_cast<int>(v & 0xFF) | 1, static_cast<int>((v >> 8) & 0xFF),
                              static_cast<int>((v >> 16) & 0x7F)));
    }
  return img;
}

}  // namespace

std::vector<std::pair<std::string, QSize>> WinampClassicBitmapSizes() {
  return {{"main.bmp", {275, 116}},    {"cbuttons.bmp", {136, 36}}, {"titlebar.bmp", {344, 87}},
          {"shufrep.bmp", {92, 85}},   {"volume.bmp", {68, 433}},   {"balance.bmp", {47, 433}},
          {"posbar.bmp", {307, 10}},   {"monoster.bmp", {58, 24}},  {"playpaus.bmp", {42, 9}},
          {"text.bmp", {155, 18}},     {"numbers.bmp", {99, 13}},   {"nums_ex.bmp", {108, 13}},
          {"eqmain.bmp", {275, 315}},  {"pledit.bmp", {280, 186}},  {"mb.bmp", {234, 119}}};
}

QImage PaintWinampClassicBitmap(const std::string& name, bool noise, unsigned seed) {
  unsigned k = 0;
  for (const auto& [file, size] : WinampClassicBitmapSizes()) {
    ++k;
    if (file == name) return noise ? Noise(size, seed * 97 + k) : Art(file, size);
  }
  return {};
}

std::vector<std::pair<std::string, std::string>> WinampClassicTextFiles() {
  std::string vis = "24,26,34 // background\r\n70,78,96 // dots\r\n";
  for (int i = 0; i < 16; ++i) {
    const QColor c = QColor::fromHsv(std::max(0, 120 - 8 * i), 210, 230);
    vis += std::to_string(c.red()) + "," + std::to_string(c.green()) + "," + std::to_string(c.blue()) + "\r\n";
  }
  for (int i = 0; i < 5; ++i) vis += std::to_string(120 + 25 * i) + "," + std::to_string(200) + ",140\r\n";
  const std::string pledit =
      "[Text]\r\nNormal=#78C88C\r\nCurrent=#FFFFFF\r\nNormalBG=#1A1E28\r\nSelectedBG=#3C465A\r\nFont=Arial\r\n";
  return {{"viscolor.txt", vis}, {"pledit.txt", pledit},
          {"readme.txt", "winampdefault: the classic-layout fallback pictures of Zorvane Audio Player.\r\n"}};
}

bool WriteWinampClassicSkin(const std::string& folder, bool noise, unsigned seed) {
  const QString dir = QString::fromStdString(folder);
  if (!QDir().mkpath(dir)) return false;
  bool ok = true;
  for (const auto& [name, size] : WinampClassicBitmapSizes())
    ok = PaintWinampClassicBitmap(name, noise, seed).save(dir + "/" + QString::fromStdString(name), "BMP") && ok;
  for (const auto& [name, text] : WinampClassicTextFiles()) {
    QFile f(dir + "/" + QString::fromStdString(name));
    ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         f.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size()) && ok;
  }
  return ok;
}
