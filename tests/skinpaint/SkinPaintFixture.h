// The Default skin loaded into a temporary program folder, and image comparisons for the
// paint tests.
#pragma once
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "DefaultSkinSupport.h"
#include "TestSupport.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinDisplayState.h"
#include "skin/KELDARSkinDisplays.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/MultimediaSkinStructure.h"
#include "util/ProgramFolders.h"

inline QGuiApplication& SkinPaintTestApplication() {
  static int argc = 1;
  static char name[] = "keldar_skinpaint_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication app(argc, argv);
  return app;
}

class DefaultSkinPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    SkinPaintTestApplication();
    LoadDefaultSkinForTesting(program.Path(), windows);
  }
  // A window-sized image filled with a colour no skin bitmap uses.
  static QImage Canvas(int w = 300, int h = 130) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Sentinel());
    return img;
  }
  static QColor Sentinel() { return QColor(1, 254, 3); }
  static const QImage& Bitmap(TKELDARSkinBitmap b) { return LoadedKELDARSkin().Bitmap(b); }

  TTempFolder program;
  TMessageLogCapture log{program / "messages.log"};
  TQuietSkinWindows windows;
};

// True when the w×h block of `painted` at `at` equals `source` at `from`, pixel for pixel.
inline ::testing::AssertionResult SameBlock(const QImage& painted, QPoint at, const QImage& source, QRect from) {
  for (int y = 0; y < from.height(); ++y)
    for (int x = 0; x < from.width(); ++x) {
      const QRgb a = painted.pixel(at.x() + x, at.y() + y) | 0xFF000000u;
      const QRgb b = source.pixel(from.x() + x, from.y() + y) | 0xFF000000u;
      if (a != b)
        return ::testing::AssertionFailure() << "differs at (" << at.x() + x << "," << at.y() + y << "): " << std::hex
                                             << a << " vs " << b;
    }
  return ::testing::AssertionSuccess();
}

// Pixels of a block that have a colour.
inline int CountColour(const QImage& img, QRect block, QColor colour) {
  int n = 0;
  for (int y = block.top(); y <= block.bottom(); ++y)
    for (int x = block.left(); x <= block.right(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFFu) == (colour.rgb() & 0xFFFFFFu)) ++n;
  return n;
}
