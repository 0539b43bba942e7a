// The main window's 400 ms tick: end-of-song advance, position bar, time texts, pause
// blinking, lamps, kbps and kHz, internet station and title, CPU figure, text effects, the
// now-playing record, title scrolling, repaint and subtitles, in this order. UI thread only.
#pragma once

#include <cstdint>
#include <string>

#include "skin/SkinControlStates.h"

// One tick.
void DeckMainTimerTick();

// "%.2d:%.2d" of minutes (not limited to 59) and seconds; negative values show "00:00".
std::string FormatDeckMinutesSeconds(std::int64_t seconds);

struct TDeckTimeTexts {
  std::string Current;
  std::string Total;
};
// The two time texts: mode 0 elapsed, 1 remaining; an internet stream always shows elapsed.
TDeckTimeTexts DeckTimeTexts(std::int64_t position, std::int64_t total, int mode, bool internetStream,
                             const std::string& elapsedPrefix, const std::string& remainingPrefix);

// The CPU figure with five decimals; not-a-number and infinities show "0.00000".
std::string DeckCPUUsageText(double value);

// 0 channels none, 1 mono, 2 stereo, more surround.
msMonoStereoState DeckChannelLampState(int channels);

// The first character (not byte) moves to the end.
std::string RotateTitleLeft(const std::string& title);
