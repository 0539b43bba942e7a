// The skin's text settings on the Qt widgets that hold the playlist and library contents.
#pragma once

#include <QWidget>

#include "skin/KELDARSkinTextSettings.h"

// Background, text colour and font of a content widget.
void ApplySkinTextToWidget(QWidget& widget, const TKELDARSkinTextSettings& text);
