#include "skin/SkinSprites.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

QImage NewSkinSheet(std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) return {};
  QImage img(width, height, QImage::Format_RGB888);
  if (img.isNull()) return {};
  img.fill(Qt::black);
  return img;
}

void CopySkinSprite(QImage& dst, std::int32_t dx, std::int32_t dy, const QImage& src, std::int32_t sx,
                    std::int32_t sy, std::int32_t w, std::int32_t h) {
  if (dst.isNull() || src.isNull() || w <= 0 || h <= 0) return;
  // Clip against the source, then against the target, moving both origins together.
  std::int64_t x0 = std::max<std::int64_t>({0, -static_cast<std::int64_t>(sx), -static_cast<std::int64_t>(dx)});
  std::int64_t y0 = std::max<std::int64_t>({0, -static_cast<std::int64_t>(sy), -static_cast<std::int64_t>(dy)});
  std::int64_t x1 = std::min<std::int64_t>({w, static_cast<std::int64_t>(src.width()) - sx,
                                            static_cast<std::int64_t>(dst.width()) - dx});
  std::int64_t y1 = std::min<std::int64_t>({h, static_cast<std::int64_t>(src.height()) - sy,
                                            static_cast<std::int64_t>(dst.height()) - dy});
  if (x1 <= x0 || y1 <= y0) return;
  if (dst.format() == QImage::Format_RGB888 && src.format() == QImage::Format_RGB888) {
    // Row copies: a painter per sprite costs more than the pixels of a small sprite.
    const std::size_t bytes = static_cast<std::size_t>(x1 - x0) * 3;
    for (std::int64_t y = y0; y < y1; ++y)
      std::memcpy(dst.scanLine(static_cast<int>(dy + y)) + (dx + x0) * 3,
                  src.constScanLine(static_cast<int>(sy + y)) + (sx + x0) * 3, bytes);
    return;
  }
  QPainter p(&dst);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(QPoint(static_cast<int>(dx + x0), static_cast<int>(dy + y0)), src,
              QRect(static_cast<int>(sx + x0), static_cast<int>(sy + y0), static_cast<int>(x1 - x0),
                    static_cast<int>(y1 - y0)));
}

QRgb SkinColourToRgb(std::uint32_t colour) {
  return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
              static_cast<int>((colour >> 16) & 0xFF));
}
