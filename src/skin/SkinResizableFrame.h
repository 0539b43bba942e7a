// The tiled frame of a resizable window (playlist, visuals, library) for a client size:
// which sprite-sheet piece goes where, and the frame positions stored back into the table
// so controls parented to the right and bottom tiles follow the window's size. No Qt.
#pragma once

#include <vector>

#include "skin/KELDARSkinBitmapLayout.h"

struct TSkinSpriteBlit {
  TSkinPixelPoint Source;
  TSkinPixelSize Size;
  TSkinPixelPoint Target;
};

struct TSkinResizableFramePlan {
  std::vector<TSkinSpriteBlit> Blits;  // in drawing order
  std::int32_t TitleFillersBefore = 0, TitleFillersAfter = 0;
  std::int32_t LeftTiles = 0, RightTiles = 0, BottomFillers = 0;
};

// `background` names the window (its frame pieces follow it in identifier order); the
// title row comes from row B of the sheet when the title main part shows the active state.
TSkinResizableFramePlan PlanKELDARSkinResizableFrame(KELDARSkinControls_IDs background, std::int32_t width,
                                                     std::int32_t height, const MultimediaSkinStructure& skin);

// Right title part, bottom parts and the scroll track's height for this size.
void StoreKELDARSkinResizableFramePositions(KELDARSkinControls_IDs background, std::int32_t width, std::int32_t height,
                                            MultimediaSkinStructure& skin = MultimediaSkin());

// The scroll track of a resizable window (Form_NullControl for the visuals window).
KELDARSkinControls_IDs ResizableWindowScrollTrack(KELDARSkinControls_IDs background);

// Where a window button, a list button or a menu button of a resizable window has its
// normal (pressed = false) or pressed sprite; false when the control has none.
bool ResizableWindowButtonSprite(KELDARSkinControls_IDs background, KELDARSkinControls_IDs button, bool pressed,
                                 const MultimediaSkinStructure& skin, TSkinPixelPoint& source);
// The same for a playlist panel button (rows F..H).
bool PlaylistPanelButtonSprite(KELDARSkinControls_IDs button, bool pressed, const MultimediaSkinStructure& skin,
                               TSkinPixelPoint& source);
