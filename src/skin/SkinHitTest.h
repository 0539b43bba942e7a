// Which control of a window lies under a point: the last hit in identifier order wins,
// kinds that are never targets fall through, panel buttons count only on their own panel.
#pragma once

#include <functional>

#include "skin/Form_ControlsList.h"
#include "skin/MultimediaSkinStructure.h"

// True when the pixel of the control's mask under the window point is grey.
using TSkinMaskProbe = std::function<bool(KELDARSkinControls_IDs id, int x, int y)>;

bool SkinPointInControl(KELDARSkinControls_IDs id, int x, int y, const MultimediaSkinStructure& skin);

// `usesMasks` with a probe switches the three mask sliders to their grey-level masks.
KELDARSkinControls_IDs SkinHitTest(const Form_ControlsList& controls, KELDARSkinControls_IDs defaultId, int x, int y,
                                   const MultimediaSkinStructure& skin = MultimediaSkin(), bool usesMasks = false,
                                   const TSkinMaskProbe& probe = {});
