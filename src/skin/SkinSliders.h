// Slider arithmetic on the control table: value from the last mouse point, the frame a
// track shows, where its knob is drawn and the readout shown while it is pressed. No Qt.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "skin/KELDARSkinControlAccessors.h"

bool IsSkinSliderTrack(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin = MultimediaSkin());
// The deck's and the full-screen bar's position tracks (applied on release, not while dragging).
bool IsSkinPositionTrack(KELDARSkinControls_IDs id);

// The value 0..100 of the track's stored point (Control_NEWX, or Control_NEWY for vertical
// tracks), snapping to the ends within 2 pixels.
std::int32_t SkinSliderValueFromPoint(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin = MultimediaSkin());
// The frame 0..N-1 of the track's strip for its knob coordinate.
std::int32_t SkinSliderFrameIndex(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin = MultimediaSkin());
// Where the knob is drawn in window coordinates: centred on the knob coordinate along the
// axis and kept inside the track, at the knob's own offset across it.
TSkinControlRect SkinSliderKnobRect(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin = MultimediaSkin());

// The text the deck's artist line shows while the track is pressed; empty when none.
std::string SkinSliderReadout(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin = MultimediaSkin());
// The owners of volume, balance, pitch and the equalizer sliders give their readouts here.
using TSkinSliderReadoutProvider = std::function<std::string(std::int32_t value)>;
void SetSkinSliderReadoutProvider(KELDARSkinControls_IDs track, TSkinSliderReadoutProvider provider);
