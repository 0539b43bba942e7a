// Writes the desktop entry keldar3.desktop, with the MIME types of the formats the player
// supports, and paints the player's icon for the hicolor theme.
//
//   keldardesktopfiles ENTRY_FILE ICON_PNG SIZE
//
// Built into the program folder, so the table of supported types sees the audio add-ons
// beside the player as the player does.
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>

#include "engine/KELDAR_SupportedFileTypes.h"
#include "util/FileAssociations.h"
#include "util/VersionInfo.h"

namespace {

// Our own mark: a dark disc with a light rim, three rising level bars and a play triangle.
QImage PaintIcon(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  QLinearGradient body(0, 0, 0, s);
  body.setColorAt(0, QColor(0x2b, 0x3a, 0x55));
  body.setColorAt(1, QColor(0x0f, 0x16, 0x24));
  p.setBrush(body);
  p.setPen(QPen(QColor(0x9f, 0xd3, 0xff), s * 0.04));
  p.drawEllipse(QRectF(s * 0.05, s * 0.05, s * 0.9, s * 0.9));
  p.setPen(Qt::NoPen);
  const QColor bars[] = {QColor(0x4c, 0xd9, 0x64), QColor(0xff, 0xcc, 0x00), QColor(0xff, 0x5e, 0x3a)};
  for (int i = 0; i < 3; ++i) {
    const qreal height = s * (0.18 + 0.12 * i);
    p.setBrush(bars[i]);
    p.drawRoundedRect(QRectF(s * (0.24 + 0.11 * i), s * 0.72 - height, s * 0.08, height), s * 0.02, s * 0.02);
  }
  QPainterPath play;
  play.moveTo(s * 0.58, s * 0.34);
  play.lineTo(s * 0.78, s * 0.5);
  play.lineTo(s * 0.58, s * 0.66);
  play.closeSubpath();
  p.setBrush(QColor(0xf2, 0xf6, 0xfb));
  p.drawPath(play);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: keldardesktopfiles ENTRY_FILE ICON_PNG SIZE\n");
    return 2;
  }
  QGuiApplication app(argc, argv);
  BuildSupportedFileTypes();
  std::set<std::string> types;
  for (const auto& row : SupportedFileTypes().Rows)
    for (const std::string& type : MimeTypesForExtension(row->FileExtension)) types.insert(type);
  std::string mime;
  for (const std::string& type : types) mime += type + ";";

  std::ofstream entry(argv[1], std::ios::trunc);
  entry << "[Desktop Entry]\n"
        << "Type=Application\n"
        << "Name=" << KELDAR_PRODUCT_NAME << "\n"
        << "GenericName=Audio Player\n"
        << "Comment=Plays audio files, tracker modules, audio CDs and internet radio in skinnable windows\n"
        << "Exec=keldar3 %F\n"
        << "Icon=keldar3\n"
        << "Terminal=false\n"
        << "Categories=AudioVideo;Audio;Player;\n"
        << "Keywords=music;radio;playlist;skin;\n"
        << "MimeType=" << mime << "\n";
  if (!entry) return 1;
  return PaintIcon(std::stoi(argv[3])).save(argv[2], "PNG") ? 0 : 1;
}
