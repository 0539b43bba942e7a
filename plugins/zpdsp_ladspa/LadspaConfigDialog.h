// The LADSPA host's configuration dialog: the effect to run, and one slider per control.
// Changes take effect at once. UI thread only.
#pragma once

#include <functional>

struct TLadspaChoice;
struct TLadspaEffectInfo;

// current: the running choice (may be null). choose: makes and publishes a new choice for the
// effect (null: none) and returns it.
void ShowLadspaConfigDialog(void* parentWindow, const TLadspaChoice* current,
                            const std::function<const TLadspaChoice*(const TLadspaEffectInfo*)>& choose);
