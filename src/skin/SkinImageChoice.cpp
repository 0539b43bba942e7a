#include "skin/SkinImageChoice.h"

bool IsSkinButtonShownPressed(const StringIdentStructure& control) {
  return control.Control_NEWMouseState == meMouseDown || control.Control_NEWMouseState == meMouseClicked;
}

BitmapPurposeStates SkinPushButtonImage(const StringIdentStructure& control) {
  return IsSkinButtonShownPressed(control) ? bpActiveBitmap : bpNOTActiveBitmap;
}

BitmapPurposeStates SkinToggleButtonImage(const StringIdentStructure& control) {
  const bool on = control.Control_CLICKEDMouseState == meMouseClicked;
  switch (control.Control_NEWMouseState) {
    case meMouseDown: return on ? bpPressed2Bitmap : bpPressed1Bitmap;
    case meMouseNOTClicked: return bpNOTActiveBitmap;
    case meMouseClicked: return bpActiveBitmap;
    default: return on ? bpActiveBitmap : bpNOTActiveBitmap;
  }
}

BitmapPurposeStates SkinLampImage(const StringIdentStructure& control) {
  return control.Control_NEWMouseState == meMouseClicked ? bpActiveBitmap : bpNOTActiveBitmap;
}

BitmapPurposeStates SkinEffectsCanvasImage(const StringIdentStructure& control) {
  switch (control.Control_NEWMouseState) {
    case meMouseDown: return bpPressed1Bitmap;
    case meMouseUp: return bpPressed2Bitmap;
    case meMouseClicked: return bpActiveBitmap;
    default: return bpNOTActiveBitmap;
  }
}

BitmapPurposeStates SkinControlImage(const StringIdentStructure& control) {
  switch (control.Control_Type) {
    case KELDARSkinTitleBarControl:
    case KELDARSkinAppButtonControl:
    case KELDARSkinButtonControl:
    case KELDARSkinResizableFormButtonOfControl: return SkinPushButtonImage(control);
    case KELDARSkinButtonToggleControl: return SkinToggleButtonImage(control);
    case KELDARSkinDigitalDisplayGlyphControl: return SkinLampImage(control);
    case KELDARSkinDigitalDisplayEffects: return SkinEffectsCanvasImage(control);
    default: return bpNOTActiveBitmap;
  }
}
