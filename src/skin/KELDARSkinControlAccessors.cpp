#include "skin/KELDARSkinControlAccessors.h"

#include <algorithm>
#include <cmath>

namespace {

bool Valid(KELDARSkinControls_IDs id) { return IsKELDARSkinControlOrdinal(static_cast<int>(id)); }
bool ValidRole(BitmapPurposeStates role) { return static_cast<int>(role) <= bpActiveBitmap; }

}  // namespace

std::int32_t SkinRoundHalfEven(double value) {
  const double r = value - std::floor(value) == 0.5 ? 2.0 * std::round(value / 2.0) : std::round(value);
  return static_cast<std::int32_t>(std::clamp(r, -2147483648.0, 2147483647.0));
}

TSkinControlRect SkinControlWindowRect(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin) {
  if (!Valid(id)) return {};
  const StringIdentStructure& control = skin[id];
  TSkinControlRect rect{control.Control_Left, control.Control_Top, control.Control_Width, control.Control_Height};
  const KELDARSkinControls_IDs parent = control.Control_ParentControl;
  if (parent != id && Valid(parent)) {
    rect.Left += skin[parent].Control_Left;
    rect.Top += skin[parent].Control_Top;
  }
  return rect;
}

std::int32_t GetSkinControlValue(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin) {
  return Valid(id) ? skin[id].Control_CurrentValue : 0;
}

void SetSkinSliderValue(KELDARSkinControls_IDs id, std::int32_t value, MultimediaSkinStructure& skin) {
  if (!Valid(id)) return;
  const std::int32_t v = std::clamp<std::int32_t>(value, 0, 100);
  const TSkinControlRect rect = SkinControlWindowRect(id, skin);
  StringIdentStructure& control = skin[id];
  if (control.Control_Direction)
    control.Control_NEWY = SkinRoundHalfEven(rect.Top + static_cast<double>(rect.Height) * (100 - v) / 100.0);
  else
    control.Control_NEWX = SkinRoundHalfEven(rect.Left + static_cast<double>(v) * rect.Width / 100.0);
  if (control.Control_Type == KELDARSkinSliderControl) control.Control_CurrentValue = v;
}

void SetSkinControlCurrentValue(KELDARSkinControls_IDs id, std::int32_t value, MultimediaSkinStructure& skin) {
  if (Valid(id)) skin[id].Control_CurrentValue = value;
}

bool GetSkinToggleState(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin) {
  return Valid(id) && skin[id].Control_CLICKEDMouseState == meMouseClicked;
}

void SetSkinToggleState(KELDARSkinControls_IDs id, bool on, MultimediaSkinStructure& skin) {
  if (Valid(id)) skin[id].Control_CLICKEDMouseState = on ? meMouseClicked : meMouseNOTClicked;
}

void SetSkinControlMouseState(KELDARSkinControls_IDs id, SkinControlMouseEvents state, MultimediaSkinStructure& skin) {
  if (!Valid(id)) return;
  StringIdentStructure& control = skin[id];
  control.Control_NEWMouseState = state;
  if (state == meMouseUp)
    control.Control_CLICKEDMouseState =
        control.Control_CLICKEDMouseState == meMouseNOTClicked ? meMouseClicked : meMouseNOTClicked;
}

std::string GetSkinControlText(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin) {
  return Valid(id) ? skin[id].Control_TextString : std::string();
}

void SetSkinControlText(KELDARSkinControls_IDs id, const std::string& text, MultimediaSkinStructure& skin) {
  if (Valid(id)) skin[id].Control_TextString = text;
}

std::string GetSkinControlProcessedText(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin) {
  return Valid(id) ? skin[id].Control_ProcessedTextString : std::string();
}

void SetSkinControlProcessedText(KELDARSkinControls_IDs id, const std::string& text, MultimediaSkinStructure& skin) {
  if (Valid(id)) skin[id].Control_ProcessedTextString = text;
}

BitmapPurposeStates GetSkinControlStateAlias(KELDARSkinControls_IDs id, BitmapPurposeStates wanted,
                                             const MultimediaSkinStructure& skin) {
  if (!Valid(id) || !ValidRole(wanted)) return wanted;
  return skin[id].Control_BitmapsStatesAliases[wanted];
}

void SetSkinControlStateAlias(KELDARSkinControls_IDs id, BitmapPurposeStates wanted, BitmapPurposeStates used,
                              MultimediaSkinStructure& skin) {
  if (Valid(id) && ValidRole(wanted) && ValidRole(used)) skin[id].Control_BitmapsStatesAliases[wanted] = used;
}

void BindSkinControlClickProcedure(KELDARSkinControls_IDs id, KELDARSkin_ControlClickProcedureType procedure,
                                   MultimediaSkinStructure& skin) {
  if (Valid(id)) skin[id].Control_LeftClickProcedure = std::move(procedure);
}

void StoreSkinControlMousePosition(KELDARSkinControls_IDs id, std::int32_t x, std::int32_t y,
                                   MultimediaSkinStructure& skin) {
  if (!Valid(id) || !skin[id].Control_Enabled) return;
  skin[id].Control_NEWX = x;
  skin[id].Control_NEWY = y;
}
