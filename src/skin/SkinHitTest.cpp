#include "skin/SkinHitTest.h"

#include "skin/KELDARSkinControlAccessors.h"

bool SkinPointInControl(KELDARSkinControls_IDs id, int x, int y, const MultimediaSkinStructure& skin) {
  const TSkinControlRect r = SkinControlWindowRect(id, skin);
  return x >= r.Left && y >= r.Top && x < r.Left + r.Width && y < r.Top + r.Height;
}

KELDARSkinControls_IDs SkinHitTest(const Form_ControlsList& controls, KELDARSkinControls_IDs defaultId, int x, int y,
                                   const MultimediaSkinStructure& skin, bool usesMasks, const TSkinMaskProbe& probe) {
  KELDARSkinControls_IDs result = defaultId;
  for (int i = 1; i <= Form_NullControl; ++i) {
    if (!controls.test(static_cast<std::size_t>(i))) continue;
    const auto id = static_cast<KELDARSkinControls_IDs>(i);
    const StringIdentStructure& c = skin[id];
    bool hit;
    if (usesMasks && probe && IsMaskSlider(id))
      hit = SkinPointInControl(id, x, y, skin) && probe(id, x, y);
    else
      hit = c.Control_Enabled && SkinPointInControl(id, x, y, skin);
    if (!hit || IsNeverHitTargetKind(c.Control_Type)) continue;
    const KELDARSkinControls_IDs parent = c.Control_ParentControl;
    if (IsKELDARSkinControlOrdinal(parent) && parent != id && skin[parent].Control_Type == KELDARSkinPanelControl &&
        parent != defaultId)
      continue;
    result = id;
  }
  return result;
}
