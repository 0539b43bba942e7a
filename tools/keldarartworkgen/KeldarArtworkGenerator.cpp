// Paints the picture shown where a song has no artwork: a dim record sleeve with a note.
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <cstdio>

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: keldarartworkgen <output.bmp>\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(QFileInfo(out).absolutePath());
  QImage image(200, 200, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sleeve(0, 0, 200, 200);
  sleeve.setColorAt(0, QColor(40, 44, 60));
  sleeve.setColorAt(1, QColor(16, 18, 26));
  p.fillRect(image.rect(), sleeve);
  // A record peeking out of the sleeve.
  p.setPen(QPen(QColor(70, 74, 90), 1));
  p.setBrush(QColor(10, 10, 14));
  p.drawEllipse(QPointF(100, 88), 62, 62);
  for (int r = 54; r > 26; r -= 6) p.drawEllipse(QPointF(100, 88), r, r);
  p.setBrush(QColor(150, 60, 60));
  p.drawEllipse(QPointF(100, 88), 18, 18);
  p.setBrush(QColor(10, 10, 14));
  p.drawEllipse(QPointF(100, 88), 3, 3);
  QFont font("Sans");
  font.setPixelSize(15);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(200, 205, 220));
  p.drawText(QRect(0, 160, 200, 30), Qt::AlignCenter, "No Artwork Selected");
  p.end();
  if (!image.save(out, "BMP")) {
    std::fprintf(stderr, "keldarartworkgen: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
