// The deck's lamps: the player-state glyph with its transmission lamp (painted here), and
// the channel and file-type lamps (painted by the window from the states set here: lit =
// meMouseClicked, unlit = meMouseNOTClicked). UI thread only.
#pragma once
#include <QPainter>
#include <cstdint>

#include "skin/KELDARSkinLoader.h"
#include "skin/MultimediaSkinStructure.h"
#include "skin/SkinControlStates.h"

// Frame 0 playing, 1 paused, 2 stopped, 3 initial: stored in the glyph's and its lamp's
// Control_NEWMouseState and in the glyph's Control_CurrentValue. Other values read as 3.
void SetKELDARSkinPlayerStateImage(std::int32_t frame, MultimediaSkinStructure& skin = MultimediaSkin());
// The glyph from "Deck_PlayerState.bmp" (frame f at x = f × glyph width).
bool PaintKELDARSkinPlayerStateGlyph(QPainter& painter, const MultimediaSkinStructure& skin = MultimediaSkin(),
                                     const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());
// The transmission lamp: lit from the strip at x = 4 × glyph width while playing, else the
// deck's unlit sheet at its own place.
bool PaintKELDARSkinTransmissionLamp(QPainter& painter, const MultimediaSkinStructure& skin = MultimediaSkin(),
                                     const TKELDARLoadedSkin& loaded = LoadedKELDARSkin());

// Mono only, stereo only, both (surround) or neither.
void SetKELDARSkinChannelLamps(msMonoStereoState state, MultimediaSkinStructure& skin = MultimediaSkin());

// Which of MP3, MOD, CD, VIDEO, URL a lamp code lights (bit 0 = MP3 ... bit 4 = URL):
// 10..14 one lamp each, 1..4 the first n, 5, 7 and 9 all five, anything else none.
std::uint8_t KELDARSkinFileTypeLampsLit(std::int32_t code);
void SetKELDARSkinFileTypeLampCode(std::int32_t code);
std::int32_t KELDARSkinFileTypeLampCode();
// The idle animation (on after a stop and after every load) cycles the code 0..9.
void SetKELDARSkinFileTypeLampAnimation(bool on);
bool KELDARSkinFileTypeLampAnimation();
// One deck tick: shows the current code on the five lamps, then, while the animation is
// on, moves the code on by one.
void StepKELDARSkinFileTypeLamps(MultimediaSkinStructure& skin = MultimediaSkin());
