// Colours and fonts of the skin's text settings on Qt widgets.
#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

#include "skin/KELDARSkinTextSettings.h"

// 0x00BBGGRR → QColor.
QColor SkinColourToQColor(std::uint32_t colour);
// Font name, pixel height and style words of a text settings file.
QFont SkinTextFont(const TKELDARSkinTextSettings& text);
// Background, text colour and font of a content widget.
void ApplySkinTextToWidget(QWidget& widget, const TKELDARSkinTextSettings& text);
