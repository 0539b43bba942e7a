// Animated texts of the deck: the four effects of the artist and title lines (0 plain,
// 1 marquee, 2 flashing, 3 bounce), each line with its own step counter, the plain copy of
// the other displays and the blinking played time while paused. The deck timer calls one
// step per tick. UI thread only.
#pragma once
#include <cstdint>
#include <string>

#include "skin/KELDARSkinControls_IDs.h"
#include "skin/MultimediaSkinStructure.h"

// One step of an effect: the text to draw for `text` on a line of `cells` cells, advancing
// `counter`. Characters are counted, not bytes. Modes outside 0..3 show the text plainly.
std::string KELDARSkinTextEffectStep(const std::string& text, std::int32_t mode, std::int32_t cells,
                                     std::int32_t& counter);

// Advances the artist or title line (other controls are ignored): its processed text
// becomes the next step of its full text.
void StepKELDARSkinTextEffect(KELDARSkinControls_IDs line, std::int32_t mode, std::int32_t cells,
                              MultimediaSkinStructure& skin = MultimediaSkin());
// Starts a line's effect from its first step again (a new song, a new effect).
void RestartKELDARSkinTextEffect(KELDARSkinControls_IDs line);

// Processed text := full text for the deck displays other than the artist and title lines.
void CopyKELDARSkinDisplayTextsPlain(MultimediaSkinStructure& skin = MultimediaSkin());

// One pause tick: the played time shows "  :  " and its text is saved, or the saved text
// comes back.
void StepKELDARSkinTimeBlink(MultimediaSkinStructure& skin = MultimediaSkin());
// Leaving the pause: brings the saved text back if the blank phase is showing; clears the phase.
void RestoreKELDARSkinBlinkedTime(MultimediaSkinStructure& skin = MultimediaSkin());
