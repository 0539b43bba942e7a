#include "app/SkinnedFormColours.h"

#include <QPalette>

#include <cstdlib>

QColor SkinColourToQColor(std::uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

QFont SkinTextFont(const TKELDARSkinTextSettings& text) {
  QFont font(QString::fromStdString(text.Font));
  font.setPixelSize(std::max(1, std::abs(text.FontHeight)));
  font.setBold(text.FontStyle.Bold);
  font.setItalic(text.FontStyle.Italic);
  font.setUnderline(text.FontStyle.Underline);
  font.setStrikeOut(text.FontStyle.StrikeOut);
  return font;
}

void ApplySkinTextToWidget(QWidget& widget, const TKELDARSkinTextSettings& text) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, SkinColourToQColor(text.NormalBG));
  palette.setColor(QPalette::Base, SkinColourToQColor(text.NormalBG));
  palette.setColor(QPalette::WindowText, SkinColourToQColor(text.Normal));
  palette.setColor(QPalette::Text, SkinColourToQColor(text.Normal));
  palette.setColor(QPalette::Highlight, SkinColourToQColor(text.SelectedBG));
  widget.setPalette(palette);
  widget.setFont(SkinTextFont(text));
}
