// Reading one skin bitmap: from the skin folder with a fallback to the built-in copy, decoded
// as 24 bits per pixel, with the user's colour enhancement applied.
#pragma once
#include <QImage>
#include <cstdint>
#include <string>

struct TKELDARColorEnhancement {
  std::int32_t Red = 0;
  std::int32_t Green = 0;
  std::int32_t Blue = 0;
};
// The current settings values.
TKELDARColorEnhancement CurrentKELDARColorEnhancement();

// Larger bitmaps are refused from their header before any pixel is decoded.
inline constexpr int KELDARSkinBitmapMaxSide = 8192;
inline constexpr int KELDARSkinBitmapMaxMegabytes = 64;

// Reads a bitmap file; null when it is missing, empty, truncated or too large.
QImage ReadKELDARSkinBitmapFile(const std::string& path);
// Folder file when fromFile and readable, else the built-in copy (null when neither). The
// result is in the windows' own pixel format (32-bit RGB), so painting copies its pixels
// as they are instead of converting them on every paint.
QImage LoadKELDARSkinBitmap(const std::string& folder, const std::string& fileName, bool fromFile,
                            const TKELDARColorEnhancement& enhancement);
// Every pixel that differs from the bottom-left (key) pixel gets the offsets, clamped.
void ApplyKELDARColorEnhancement(QImage& image, const TKELDARColorEnhancement& enhancement);
