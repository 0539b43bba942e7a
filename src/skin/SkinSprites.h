// Assembling skin sheets from the pictures of foreign skins: every copy is clipped to both
// pictures, so a picture smaller than its layout expects leaves the missing sprites empty.
#pragma once
#include <QImage>
#include <cstdint>

// A black 24-bit sheet; null for a size that is not positive.
QImage NewSkinSheet(std::int32_t width, std::int32_t height);
// Copies the w x h rectangle at sx,sy of src to dx,dy of dst; parts outside either stay as
// they are.
void CopySkinSprite(QImage& dst, std::int32_t dx, std::int32_t dy, const QImage& src, std::int32_t sx,
                    std::int32_t sy, std::int32_t w, std::int32_t h);
// 0x00BBGGRR as an opaque pixel.
QRgb SkinColourToRgb(std::uint32_t colour);
