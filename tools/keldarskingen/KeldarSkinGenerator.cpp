// keldarskingen <output folder>: writes the built-in Default skin as an own-format skin
// folder (definition, bitmaps, text files) painted from the own catalogue.
// keldarskingen --winampdefault <output folder>: writes the classic-layout Winamp pictures
// that converted Winamp skins fall back on.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <string>

#include "DefaultSkinPainter.h"
#include "DefaultSkinTextFiles.h"
#include "WinampClassicSkinPainter.h"
#include "skin/KELDARSkinCatalogue.h"
#include "skin/KELDARSkinDefinitionFile.h"

namespace {

bool WriteBytes(const QString& path, const std::string& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc == 3 && std::string(argv[1]) == "--winampdefault") return WriteWinampClassicSkin(argv[2], false) ? 0 : 1;
  if (argc != 2) {
    std::fprintf(stderr, "usage: keldarskingen <output folder>\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(out)) {
    std::fprintf(stderr, "keldarskingen: cannot create %s\n", argv[1]);
    return 1;
  }
  MultimediaSkinStructure skin;
  TSkinControlsLists lists;
  BuildKELDARSkinCatalogue(TKELDARSkinFamily::Own, skin, lists);

  int failures = 0;
  for (int i = 0; i < KELDARSkinBitmapCount; ++i) {
    const auto bitmap = static_cast<TKELDARSkinBitmap>(i);
    if (IsKELDARSkinMaskBitmap(bitmap)) continue;
    const QImage img = PaintDefaultSkinBitmap(bitmap, skin);
    const QString path = out + "/" + KELDARSkinBitmapFileName(bitmap);
    if (img.isNull() || !img.save(path, "BMP")) {
      std::fprintf(stderr, "keldarskingen: cannot write %s\n", qPrintable(path));
      ++failures;
    }
  }
  for (const auto& file : DefaultSkinTextFiles())
    if (!WriteBytes(out + "/" + QString::fromStdString(file.FileName), file.Content)) ++failures;
  if (!WriteBytes(out + "/keldarskin.ini", BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own))) ++failures;
  return failures == 0 ? 0 : 1;
}
