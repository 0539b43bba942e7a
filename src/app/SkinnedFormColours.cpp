#include "app/SkinnedFormColours.h"

#include <QPalette>

#include "skin/KELDARSkinBitmapFonts.h"

void ApplySkinTextToWidget(QWidget& widget, const TKELDARSkinTextSettings& text) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, KELDARSkinColour(text.NormalBG));
  palette.setColor(QPalette::Base, KELDARSkinColour(text.NormalBG));
  palette.setColor(QPalette::WindowText, KELDARSkinColour(text.Normal));
  palette.setColor(QPalette::Text, KELDARSkinColour(text.Normal));
  palette.setColor(QPalette::Highlight, KELDARSkinColour(text.SelectedBG));
  widget.setPalette(palette);
  widget.setFont(KELDARSkinTextFont(text));
}
