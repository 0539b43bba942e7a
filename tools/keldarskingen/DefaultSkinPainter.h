// Paints one bitmap of the built-in Default skin from the control table.
#pragma once
#include <QImage>
#include "skin/KELDARSkinBitmapLayout.h"

QImage PaintDefaultSkinBitmap(TKELDARSkinBitmap bitmap, const MultimediaSkinStructure& skin);
