// The four full-window state sheets of the fixed skinned windows and the one way a control
// is drawn from them: the wanted role goes through the control's alias array, and the
// source rectangle is the control's own stored rectangle in that sheet. UI thread only.
#pragma once
#include <QImage>
#include <QPainter>

#include "skin/KELDARSkinLoader.h"
#include "skin/KELDARSkinWindows.h"

// The sheet of a fixed window (deck, equalizer, full-screen bar) for a role; null when the
// window has no sheet for it (resizable windows, the bar's two pressed roles).
const QImage* KELDARSkinStateSheet(TKELDARSkinnedWindow window, BitmapPurposeStates role,
                                   const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());

// Copies the control's stored rectangle of the chosen sheet to its window position (parent
// plus own). Returns false when there is nothing to draw (no sheet, disabled, empty).
bool DrawKELDARSkinControlState(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs id,
                                BitmapPurposeStates wanted, const MultimediaSkinStructure& skin = MultimediaSkin(),
                                const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
