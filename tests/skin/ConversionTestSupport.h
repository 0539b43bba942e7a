// Helpers of the conversion tests: pixel comparisons and reading a converted folder back.
#pragma once
#include <gtest/gtest.h>

#include <QImage>
#include <fstream>
#include <string>
#include <vector>

#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinCatalogue.h"
#include "skin/KELDARSkinDefinitionFile.h"

namespace convert_test {

inline QImage Bmp(const std::string& path) {
  QImage img(QString::fromStdString(path));
  return img.isNull() ? img : img.convertToFormat(QImage::Format_RGB888);
}

// True when the w x h rectangles are equal pixel by pixel (and lie inside both pictures).
inline ::testing::AssertionResult SameRect(const QImage& a, int ax, int ay, const QImage& b, int bx, int by, int w,
                                           int h) {
  if (a.isNull() || b.isNull()) return ::testing::AssertionFailure() << "null picture";
  if (ax < 0 || ay < 0 || ax + w > a.width() || ay + h > a.height())
    return ::testing::AssertionFailure() << "target rectangle outside " << a.width() << "x" << a.height();
  if (bx < 0 || by < 0 || bx + w > b.width() || by + h > b.height())
    return ::testing::AssertionFailure() << "source rectangle outside " << b.width() << "x" << b.height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (a.pixel(ax + x, ay + y) != b.pixel(bx + x, by + y))
        return ::testing::AssertionFailure() << "differs at +" << x << ",+" << y;
  return ::testing::AssertionSuccess();
}

// Writes a BMP file by hand in a format Qt cannot write (bits 1, 4, 8 palettised, optionally
// RLE4 = 2 / RLE8 = 1 compressed; 16 as 5-5-5; 24; 32; rows top-down when asked). Returns the
// picture the file holds: for palettised files each pixel's index comes from its red channel
// and points into a palette of our own. With keepIndices, an Indexed8 picture is written with
// its own (possibly out-of-range) indices and colour table.
inline QImage WriteTestBmp(const std::string& path, const QImage& source, int bits, int compression, bool topDown,
                           bool keepIndices = false) {
  const int w = source.width(), h = source.height();
  const bool palettised = bits <= 8;
  const int colours = palettised ? (keepIndices ? source.colorCount() : 1 << bits) : 0;
  std::vector<QRgb> palette;
  for (int i = 0; i < colours; ++i)
    palette.push_back(keepIndices ? source.color(i) : qRgb((i * 37) & 0xFF, (i * 91 + 13) & 0xFF, (255 - i * 5) & 0xFF));
  QImage expected(w, h, QImage::Format_RGB888);
  const auto indexAt = [&](int x, int y) -> int {
    if (keepIndices) return source.pixelIndex(x, y);
    return qRed(source.pixel(x, y)) >> (8 - bits);
  };
  std::string pixels;
  const auto le = [](std::string& s, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  for (int r = 0; r < h; ++r) {
    const int y = topDown ? r : h - 1 - r;
    std::string row;
    if (compression == 1 || compression == 2) {
      for (int x = 0; x < w;) {
        const int idx = indexAt(x, y);
        int n = 1;
        while (x + n < w && n < 255 && indexAt(x + n, y) == idx) ++n;
        row += static_cast<char>(n);
        row += static_cast<char>(compression == 1 ? idx : (idx << 4) | idx);
        x += n;
      }
      row += std::string("\0\0", 2);
      pixels += row;
      continue;
    }
    if (palettised) {
      std::uint32_t acc = 0;
      int filled = 0;
      for (int x = 0; x < w; ++x) {
        acc = (acc << bits) | static_cast<std::uint32_t>(indexAt(x, y));
        filled += bits;
        if (filled == 8) {
          row += static_cast<char>(acc);
          acc = 0;
          filled = 0;
        }
      }
      if (filled) row += static_cast<char>(acc << (8 - filled));
    } else {
      for (int x = 0; x < w; ++x) {
        const QRgb c = source.pixel(x, y);
        if (bits == 16)
          le(row, static_cast<std::uint32_t>(((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3)), 2);
        else {
          row += static_cast<char>(qBlue(c));
          row += static_cast<char>(qGreen(c));
          row += static_cast<char>(qRed(c));
          if (bits == 32) row += '\0';
        }
      }
    }
    while (row.size() % 4) row += '\0';
    pixels += row;
  }
  if (compression == 1 || compression == 2) pixels += std::string("\0\1", 2);
  std::string file = "BM";
  const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(colours);
  le(file, offset + static_cast<std::uint32_t>(pixels.size()), 4);
  le(file, 0, 4);
  le(file, offset, 4);
  le(file, 40, 4);
  le(file, static_cast<std::uint32_t>(w), 4);
  le(file, static_cast<std::uint32_t>(topDown ? -h : h), 4);
  le(file, 1, 2);
  le(file, static_cast<std::uint32_t>(bits), 2);
  le(file, static_cast<std::uint32_t>(compression), 4);
  le(file, static_cast<std::uint32_t>(pixels.size()), 4);
  le(file, 2835, 4);
  le(file, 2835, 4);
  le(file, static_cast<std::uint32_t>(colours), 4);
  le(file, 0, 4);
  for (QRgb c : palette) {
    file += static_cast<char>(qBlue(c));
    file += static_cast<char>(qGreen(c));
    file += static_cast<char>(qRed(c));
    file += '\0';
  }
  file += pixels;
  std::ofstream(path, std::ios::binary) << file;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (palettised) {
        const int idx = indexAt(x, y);
        expected.setPixel(x, y, idx < static_cast<int>(palette.size()) ? palette[static_cast<std::size_t>(idx)] : 0);
      } else if (bits == 16) {
        const QRgb c = source.pixel(x, y);
        const auto five = [](int v) { return ((v >> 3) << 3) | (v >> 5); };
        expected.setPixel(x, y, qRgb(five(qRed(c)), five(qGreen(c)), five(qBlue(c))));
      } else {
        expected.setPixel(x, y, source.pixel(x, y));
      }
    }
  return expected;
}

inline ::testing::AssertionResult AllBlack(const QImage& a, int x0, int y0, int w, int h) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (x < a.width() && y < a.height() && (a.pixel(x, y) & 0xFFFFFF) != 0)
        return ::testing::AssertionFailure() << "pixel at " << x << "," << y;
  return ::testing::AssertionSuccess();
}

// The table a converted folder's definition gives for its family.
inline MultimediaSkinStructure ConvertedTable(const std::string& folder, TKELDARSkinFamily family) {
  MultimediaSkinStructure skin;
  TSkinControlsLists lists;
  BuildKELDARSkinCatalogue(family, skin, lists);
  ReadKELDARSkinDefinitionFile(folder + "/keldarskin.ini", skin);
  return skin;
}

}  // namespace convert_test
