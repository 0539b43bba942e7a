#include "skin/SkinResizableFrame.h"

#include <algorithm>

#include "skin/SkinControlStates.h"

namespace {

struct TFramePieces {
  const StringIdentStructure *TL, *TR, *TH, *TM, *VL, *VR, *BL, *BR, *BX;
};

TFramePieces Pieces(KELDARSkinControls_IDs background, const MultimediaSkinStructure& skin) {
  const int b = background;
  const auto at = [&](int o) { return &skin[static_cast<KELDARSkinControls_IDs>(b + o)]; };
  return {at(1), at(2), at(3), at(4), at(5), at(6), at(7), at(8), at(9)};
}

std::int32_t Count(std::int32_t space, std::int32_t tile) { return tile > 0 ? std::max(0, space / tile) : 0; }

TSkinPixelSize SizeOf(const StringIdentStructure& c) {
  return {std::max(0, c.Control_Width), std::max(0, c.Control_Height)};
}

}  // namespace

TSkinResizableFramePlan PlanKELDARSkinResizableFrame(KELDARSkinControls_IDs background, std::int32_t W, std::int32_t H,
                                                     const MultimediaSkinStructure& skin) {
  const TFramePieces p = Pieces(background, skin);
  const TResizableSheetLayout l = ResizableSheetLayout(background, skin);
  const bool active = p.TM->Control_NEWMouseState == meMouseClicked;
  const std::int32_t titleRow = active ? l.RowB : l.RowA;
  TSkinResizableFramePlan plan;
  const auto add = [&](std::int32_t sx, std::int32_t sy, const StringIdentStructure& piece, std::int32_t x,
                       std::int32_t y) { plan.Blits.push_back({{sx, sy}, SizeOf(piece), {x, y}}); };

  // 1. Title row, the caption in the middle of the fillers; the last filler may run under TR.
  add(l.TitleLeftX, titleRow, *p.TL, 0, 0);
  const std::int32_t n = Count(W - p.TL->Control_Width - p.TM->Control_Width - p.TR->Control_Width, p.TH->Control_Width);
  plan.TitleFillersBefore = n / 2;
  plan.TitleFillersAfter = n - n / 2 + 1;
  std::int32_t x = p.TL->Control_Width;
  for (std::int32_t i = 0; i < plan.TitleFillersBefore; ++i, x += p.TH->Control_Width)
    add(l.TitleHorizontalX, titleRow, *p.TH, x, 0);
  add(l.TitleMainX, titleRow, *p.TM, x, 0);
  x += p.TM->Control_Width;
  for (std::int32_t i = 0; i < plan.TitleFillersAfter; ++i, x += p.TH->Control_Width)
    add(l.TitleHorizontalX, titleRow, *p.TH, x, 0);
  add(l.TitleRightX, titleRow, *p.TR, W - p.TR->Control_Width, 0);

  // 2. Sides.
  plan.LeftTiles = Count(H - p.TL->Control_Height - p.BL->Control_Height, p.VL->Control_Height);
  for (std::int32_t i = 0; i < plan.LeftTiles; ++i)
    add(l.VerticalLeftX, l.RowC, *p.VL, 0, p.TL->Control_Height + i * p.VL->Control_Height);
  plan.RightTiles = Count(H - p.TR->Control_Height - p.BR->Control_Height, p.VR->Control_Height);
  for (std::int32_t i = 0; i < plan.RightTiles; ++i)
    add(l.VerticalRightX, l.RowC, *p.VR, W - p.VR->Control_Width, p.TR->Control_Height + i * p.VR->Control_Height);

  // 3. Bottom.
  add(l.BottomLeftX, l.RowD, *p.BL, 0, H - p.BL->Control_Height);
  plan.BottomFillers = Count(W - p.BL->Control_Width - p.BR->Control_Width, p.BX->Control_Width);
  for (std::int32_t i = 0; i < plan.BottomFillers; ++i)
    add(l.BottomExtraX, l.RowD, *p.BX, p.BL->Control_Width + i * p.BX->Control_Width, H - p.BX->Control_Height);
  add(l.BottomRightX, l.RowD, *p.BR, W - p.BR->Control_Width, H - p.BR->Control_Height);
  return plan;
}

KELDARSkinControls_IDs ResizableWindowScrollTrack(KELDARSkinControls_IDs background) {
  if (background == PlayListEditorForm_PLMainImage) return PlayListEditorForm_PLScrollImage;
  if (background == CDDatabaseForm_DBMainImage) return CDDatabaseForm_DBScrollImage;
  return Form_NullControl;
}

void StoreKELDARSkinResizableFramePositions(KELDARSkinControls_IDs background, std::int32_t W, std::int32_t H,
                                            MultimediaSkinStructure& skin) {
  const int b = background;
  StringIdentStructure& TR = skin[static_cast<KELDARSkinControls_IDs>(b + 2)];
  StringIdentStructure& VR = skin[static_cast<KELDARSkinControls_IDs>(b + 6)];
  StringIdentStructure& BL = skin[static_cast<KELDARSkinControls_IDs>(b + 7)];
  StringIdentStructure& BR = skin[static_cast<KELDARSkinControls_IDs>(b + 8)];
  TR.Control_Left = W - TR.Control_Width;
  TR.Control_Top = 0;
  BL.Control_Left = 0;
  BL.Control_Top = H - BL.Control_Height;
  BR.Control_Left = W - BR.Control_Width;
  BR.Control_Top = H - BR.Control_Height;
  const KELDARSkinControls_IDs track = ResizableWindowScrollTrack(background);
  if (track != Form_NullControl)
    skin[track].Control_Height = VR.Control_Height * Count(H - TR.Control_Height - BR.Control_Height, VR.Control_Height);
}

bool ResizableWindowButtonSprite(KELDARSkinControls_IDs background, KELDARSkinControls_IDs button, bool pressed,
                                 const MultimediaSkinStructure& skin, TSkinPixelPoint& source) {
  const TResizableSheetLayout l = ResizableSheetLayout(background, skin);
  const StringIdentStructure& c = skin[button];
  const int b = background;
  const int windowButtons[4] = {b + 10, b + 11, PlayListEditorForm_PLListScrollUpButton,
                                PlayListEditorForm_PLListScrollDownButton};
  for (int i = 0; i < l.WindowButtonCount; ++i) {
    if (windowButtons[i] != button) continue;
    source = {l.WindowButtonX[i], pressed ? c.Control_Height + 1 : 0};
    return true;
  }
  if (l.HasMenus) {
    const int firstMenu = background == PlayListEditorForm_PLMainImage ? PlayListEditorForm_PLMenu1Buttons
                                                                       : CDDatabaseForm_DBMenu1Buttons;
    const int k = button - firstMenu;
    if (k >= 0 && k < 5) {
      source = {l.MenuX[k] + (pressed ? c.Control_Width + 1 : 0), l.RowE};
      return true;
    }
  }
  return false;
}

bool PlaylistPanelButtonSprite(KELDARSkinControls_IDs button, bool pressed, const MultimediaSkinStructure& skin,
                               TSkinPixelPoint& source) {
  const int index = button - PlayListEditorForm_PLAddFilesButton;
  if (index < 0 || index >= 15) return false;
  const int panel = index / 3;
  const int row = 2 - index % 3;
  const TResizableSheetLayout l = ResizableSheetLayout(PlayListEditorForm_PLMainImage, skin);
  const std::int32_t rows[3] = {l.RowF, l.RowG, l.RowH};
  source = {l.PanelX[row][panel] + (pressed ? skin[button].Control_Width + 1 : 0), rows[row]};
  return true;
}
