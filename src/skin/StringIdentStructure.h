// The runtime record of one skin control and the one live table of all of them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "skin/KELDARSkinControlTypes.h"
#include "skin/KELDARSkinControls_IDs.h"
#include "skin/SkinControlStates.h"

// The action run when a control is clicked (or, for sliders, moved); empty = none.
using KELDARSkin_ControlClickProcedureType = std::function<void()>;

struct StringIdentStructure {
  std::string IdentString;
  bool Control_Enabled = false;
  bool Control_Direction = false;  // true = vertical, value 100 at the top
  std::int32_t Control_NumberOfImages = 0;
  std::int32_t Control_Left = 0;  // relative to the parent's Left/Top, one level only
  std::int32_t Control_Top = 0;
  std::int32_t Control_Width = 0;
  std::int32_t Control_Height = 0;
  KELDARSkinControls_IDs Control_ParentControl = Form_NullControl;
  KELDARSkinControls_IDs Control_Child = Form_NullControl;
  KELDARSkinControls_IDs Control_Tile = Form_NullControl;
  std::int32_t Control_CurrentValue = 0;
  std::string Control_TextString;
  SkinControlMouseEvents Control_CLICKEDMouseState = meMouseNOTClicked;
  SkinControlMouseEvents Control_NEWMouseState = meMouseUp;
  std::int32_t Control_NEWX = 0;
  std::int32_t Control_NEWY = 0;
  std::string Control_ProcessedTextString;
  Control_States_Alias_Array Control_BitmapsStatesAliases = IdentityControlStatesAliases;
  KELDARSkin_ControlClickProcedureType Control_LeftClickProcedure;
  KELDARSkinControlTypes Control_Type = KELDARSkinEmptyControl;
};
