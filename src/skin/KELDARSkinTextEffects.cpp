#include "skin/KELDARSkinTextEffects.h"

#include <algorithm>
#include <cstdlib>

#include "skin/KELDARSkinBitmapFonts.h"
#include "skin/KELDARSkinDisplayState.h"
#include "util/TextEncoding.h"

namespace {

inline constexpr const char* kBlinkBlank = "  :  ";

std::int32_t* CounterOf(KELDARSkinControls_IDs line) {
  TKELDARSkinDisplayState& s = KELDARSkinDisplayState();
  if (line == DeckForm_SongArtistWindow) return &s.ArtistEffectCounter;
  if (line == DeckForm_SongTitleWindow) return &s.TitleEffectCounter;
  return nullptr;
}

std::u32string Marquee(const std::u32string& text, std::int32_t cells, std::int32_t& counter) {
  const std::u32string lane = std::u32string(static_cast<std::size_t>(cells), U' ') + text;
  const auto from = std::min(lane.size(), static_cast<std::size_t>(std::max(0, counter)));
  std::u32string shown = lane.substr(from);
  ++counter;
  if (counter > cells + static_cast<std::int32_t>(text.size())) counter = 0;
  return shown;
}

std::u32string Flashing(const std::u32string& text, std::int32_t& counter) {
  std::u32string shown = text;
  const std::int32_t phase = ((counter % 4) + 4) % 4;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const bool even = (i + 1) % 2 == 0;  // 1-based positions
    if ((phase == 0 && even) || (phase == 1 && !even) || phase == 3) shown[i] = U' ';
  }
  if (phase == 3) shown.clear();
  counter = (phase + 1) % 4;
  return shown;
}

// Back and forth over a run of 2·span steps: offset c, then 2·span − c.
std::int32_t BounceOffset(std::int32_t span, std::int32_t& counter) {
  if (counter < 0 || counter >= 2 * span) counter = 0;
  const std::int32_t offset = counter <= span ? counter : 2 * span - counter;
  ++counter;
  return offset;
}

std::u32string Bounce(const std::u32string& text, std::int32_t cells, std::int32_t& counter) {
  const auto length = static_cast<std::int32_t>(text.size());
  const auto width = static_cast<std::size_t>(std::max(0, cells));
  if (length > cells) {
    const std::int32_t offset = BounceOffset(length - cells, counter);
    return text.substr(static_cast<std::size_t>(offset), width);
  }
  const std::int32_t blanks = BounceOffset(cells - length, counter);
  std::u32string shown = std::u32string(static_cast<std::size_t>(blanks), U' ') + text;
  shown.resize(width, U' ');
  return shown;
}

}  // namespace

std::string KELDARSkinTextEffectStep(const std::string& text, std::int32_t mode, std::int32_t cells,
                                     std::int32_t& counter) {
  cells = std::max(0, cells);
  const std::u32string chars = KELDARSkinCharacters(text);
  switch (mode) {
    case 1: return Utf32ToUtf8(Marquee(chars, cells, counter));
    case 2: return Utf32ToUtf8(Flashing(chars, counter));
    case 3: return Utf32ToUtf8(Bounce(chars, cells, counter));
    default: return text;
  }
}

void StepKELDARSkinTextEffect(KELDARSkinControls_IDs line, std::int32_t mode, std::int32_t cells,
                              MultimediaSkinStructure& skin) {
  std::int32_t* counter = CounterOf(line);
  if (!counter) return;
  skin[line].Control_ProcessedTextString = KELDARSkinTextEffectStep(skin[line].Control_TextString, mode, cells, *counter);
}

void RestartKELDARSkinTextEffect(KELDARSkinControls_IDs line) {
  if (std::int32_t* counter = CounterOf(line)) *counter = 0;
}

void CopyKELDARSkinDisplayTextsPlain(MultimediaSkinStructure& skin) {
  for (KELDARSkinControls_IDs id : {DeckForm_SongCurrectPlayingTimeWindow, DeckForm_SongTotalTimeWindow,
                                    DeckForm_KbpsTextWindow, DeckForm_KHzTextWindow, DeckForm_PlayerStatusWindow})
    skin[id].Control_ProcessedTextString = skin[id].Control_TextString;
}

void StepKELDARSkinTimeBlink(MultimediaSkinStructure& skin) {
  TKELDARSkinDisplayState& s = KELDARSkinDisplayState();
  StringIdentStructure& time = skin[DeckForm_SongCurrectPlayingTimeWindow];
  if (!s.BlinkBlankShown) {
    s.BlinkSavedTimeText = time.Control_TextString;
    time.Control_TextString = kBlinkBlank;
  } else {
    time.Control_TextString = s.BlinkSavedTimeText;
  }
  time.Control_ProcessedTextString = time.Control_TextString;
  s.BlinkBlankShown = !s.BlinkBlankShown;
}

void RestoreKELDARSkinBlinkedTime(MultimediaSkinStructure& skin) {
  TKELDARSkinDisplayState& s = KELDARSkinDisplayState();
  if (s.BlinkBlankShown) {
    StringIdentStructure& time = skin[DeckForm_SongCurrectPlayingTimeWindow];
    time.Control_TextString = s.BlinkSavedTimeText;
    time.Control_ProcessedTextString = time.Control_TextString;
  }
  s.BlinkBlankShown = false;
}
