#include "skin/KELDARSkinBitmapLoading.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cstdlib>

#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinBuiltInFiles.h"

namespace {

QImage DecodeChecked(QImageReader& reader) {
  // A top-down bitmap reports its height negative.
  const QSize raw = reader.size();
  const QSize size(raw.width(), std::abs(raw.height()));
  if (size.width() <= 0 || size.height() <= 0 || size.width() > KELDARSkinBitmapMaxSide ||
      size.height() > KELDARSkinBitmapMaxSide)
    return {};
  reader.setAllocationLimit(KELDARSkinBitmapMaxMegabytes);
  QImage img = reader.read();
  if (img.isNull()) return {};
  return img.convertToFormat(QImage::Format_RGB888);
}

std::uint32_t Le32(const QByteArray& b, int at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

// A BMP must hold all the pixel rows its header promises: Qt would otherwise hand back a
// partly decoded picture for a cut-off file.
bool BmpIsComplete(const QByteArray& bytes) {
  if (bytes.size() < 30 || bytes[0] != 'B' || bytes[1] != 'M') return true;  // not a BMP: the decoder decides
  if (bytes.size() < 54) return false;
  const std::uint32_t offset = Le32(bytes, 10);
  const std::int64_t width = static_cast<std::int32_t>(Le32(bytes, 18));
  const std::int64_t height = std::abs(static_cast<std::int64_t>(static_cast<std::int32_t>(Le32(bytes, 22))));
  const int bpp = static_cast<unsigned char>(bytes[28]) | (static_cast<unsigned char>(bytes[29]) << 8);
  const std::uint32_t compression = Le32(bytes, 30);
  if (compression != 0 && compression != 3) return true;  // run-length data has no fixed size
  const std::int64_t stride = ((width * bpp + 31) / 32) * 4;
  return static_cast<std::int64_t>(offset) + stride * height <= bytes.size();
}

int Clamp(int v) { return std::clamp(v, 0, 255); }

}  // namespace

TKELDARColorEnhancement CurrentKELDARColorEnhancement() {
  return {Options_RedColorEnhancement.IntegerValue, Options_GreenColorEnhancement.IntegerValue,
          Options_BlueColorEnhancement.IntegerValue};
}

QImage ReadKELDARSkinBitmapFile(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly) || file.size() <= 0 ||
      file.size() > static_cast<qint64>(KELDARSkinBitmapMaxMegabytes) * 1024 * 1024)
    return {};
  QByteArray bytes = file.readAll();
  if (!BmpIsComplete(bytes)) return {};
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  return DecodeChecked(reader);
}

QImage LoadKELDARSkinBitmap(const std::string& folder, const std::string& fileName, bool fromFile,
                            const TKELDARColorEnhancement& enhancement) {
  QImage img;
  if (fromFile) img = ReadKELDARSkinBitmapFile(folder + fileName);
  if (img.isNull()) {
    QByteArray bytes = BuiltInKELDARSkinFile(fileName);
    if (!bytes.isEmpty()) {
      QBuffer buffer(&bytes);
      buffer.open(QIODevice::ReadOnly);
      QImageReader reader(&buffer, "BMP");
      img = DecodeChecked(reader);
    }
  }
  if (img.isNull()) return img;
  ApplyKELDARColorEnhancement(img, enhancement);
  return img.convertToFormat(QImage::Format_RGB32);
}

void ApplyKELDARColorEnhancement(QImage& image, const TKELDARColorEnhancement& e) {
  if (image.isNull() || (e.Red == 0 && e.Green == 0 && e.Blue == 0)) return;
  if (image.format() != QImage::Format_RGB888) image = image.convertToFormat(QImage::Format_RGB888);
  const uchar* key = image.constScanLine(image.height() - 1);
  const uchar kr = key[0], kg = key[1], kb = key[2];
  for (int y = 0; y < image.height(); ++y) {
    uchar* line = image.scanLine(y);
    for (int x = 0; x < image.width(); ++x) {
      uchar* px = line + 3 * x;
      if (px[0] == kr && px[1] == kg && px[2] == kb) continue;
      px[0] = static_cast<uchar>(Clamp(px[0] + e.Red));
      px[1] = static_cast<uchar>(Clamp(px[1] + e.Green));
      px[2] = static_cast<uchar>(Clamp(px[2] + e.Blue));
    }
  }
}
