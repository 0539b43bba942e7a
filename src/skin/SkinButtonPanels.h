// The pop-up button panels of the playlist's menu buttons: where a panel shows, how its
// buttons are painted and hit. Panel coordinates are relative to the panel surface; the
// buttons' window rectangles are offset by the panel's own Left/Top.
#pragma once

#include <QPainter>

#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinLoader.h"

// The panel surface in window coordinates: the menu button's window position plus the
// panel's Left/Top (-60 puts it above the button), with the panel's size.
TSkinControlRect SkinButtonPanelRect(KELDARSkinControls_IDs panel, KELDARSkinControls_IDs menuButton,
                                     const MultimediaSkinStructure& skin = MultimediaSkin());

// The button of the panel under a panel point; the panel itself when none.
KELDARSkinControls_IDs SkinButtonPanelHitTest(KELDARSkinControls_IDs panel, const Form_ControlsList& buttons, int x,
                                              int y, const MultimediaSkinStructure& skin = MultimediaSkin());

// The enabled buttons of the set at their places on the panel surface.
void PaintSkinButtonPanel(QPainter& painter, KELDARSkinControls_IDs panel, const Form_ControlsList& buttons,
                          const MultimediaSkinStructure& skin = MultimediaSkin(),
                          const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
