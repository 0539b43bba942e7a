// Mouse state shared by all skinned windows: one pressed control at a time in the whole
// program, the last control clicked, the pop-up panel on show and the two drag flags that
// the deck timer reads. UI thread only.
#pragma once

#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinControls_IDs.h"

struct TSkinRuntimeState {
  KELDARSkinControls_IDs Captured = Form_NullControl;     // pressed by the left button
  KELDARSkinControls_IDs LastClicked = Form_NullControl;  // last control released over itself
  KELDARSkinControls_IDs CurrentPanel = Form_NullControl;
  Form_ControlsList CurrentPanelButtons;
  // False while a slider track is pressed: timers must not move sliders then.
  bool SliderDragFlag = true;
  // Set while a position track is pressed; the position action clears it.
  bool PositionDragFlag = false;
};
TSkinRuntimeState& SkinRuntimeState();
