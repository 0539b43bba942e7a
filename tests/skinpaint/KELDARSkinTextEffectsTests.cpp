// The four text effects step by step, the deck lines' own counters and the pause blink.
#include <gtest/gtest.h>

#include <vector>

#include "skin/KELDARSkinDisplayState.h"
#include "skin/KELDARSkinTextEffects.h"

namespace {

std::vector<std::string> Steps(const std::string& text, int mode, int cells, int count) {
  std::vector<std::string> out;
  std::int32_t counter = 0;
  for (int i = 0; i < count; ++i) out.push_back(KELDARSkinTextEffectStep(text, mode, cells, counter));
  return out;
}

// What a display of `cells` cells shows for a processed text.
std::string Shown(const std::string& processed, std::size_t cells) {
  std::string s = processed.substr(0, std::min(cells, processed.size()));
  s.resize(cells, ' ');
  return s;
}

TEST(KELDARSkinTextEffects, PlainShowsTheText) {
  std::int32_t counter = 0;
  EXPECT_EQ(KELDARSkinTextEffectStep("Hello", 0, 10, counter), "Hello");
  EXPECT_EQ(KELDARSkinTextEffectStep("Hello", 9, 10, counter), "Hello");
  EXPECT_EQ(counter, 0);
}

TEST(KELDARSkinTextEffects, MarqueeEntersFromTheRightAfterTenBlanks) {
  const auto steps = Steps("HELLO", 1, 10, 17);
  EXPECT_EQ(Shown(steps[0], 10), std::string(10, ' '));
  EXPECT_EQ(Shown(steps[1], 10), "         H");
  EXPECT_EQ(Shown(steps[2], 10), "        HE");
  EXPECT_EQ(Shown(steps[5], 10), "     HELLO");
  EXPECT_EQ(Shown(steps[10], 10), "HELLO     ");
  EXPECT_EQ(Shown(steps[14], 10), "O         ");
  EXPECT_EQ(steps[15], "");  // counter = b + L: everything has left
  EXPECT_EQ(steps[16], steps[0]);  // and it starts again
}

TEST(KELDARSkinTextEffects, FlashingFourStepCycle) {
  const auto steps = Steps("ABCDE", 2, 10, 8);
  EXPECT_EQ(steps[0], "A C E");
  EXPECT_EQ(steps[1], " B D ");
  EXPECT_EQ(steps[2], "ABCDE");
  EXPECT_EQ(steps[3], "");
  for (int i = 0; i < 4; ++i) EXPECT_EQ(steps[4 + i], steps[i]);
}

TEST(KELDARSkinTextEffects, BounceOverALongText) {
  const auto steps = Steps("ABCDEFGH", 3, 5, 9);  // L − b = 3
  const std::vector<std::string> expected = {"ABCDE", "BCDEF", "CDEFG", "DEFGH", "CDEFG", "BCDEF", "ABCDE", "BCDEF",
                                             "CDEFG"};
  EXPECT_EQ(steps, expected);
}

TEST(KELDARSkinTextEffects, BounceOfAShortTextSlidesBlanks) {
  const auto steps = Steps("AB", 3, 5, 8);  // b − L = 3
  const std::vector<std::string> expected = {"AB   ", " AB  ", "  AB ", "   AB", "  AB ", " AB  ", "AB   ", " AB  "};
  EXPECT_EQ(steps, expected);
  EXPECT_EQ(Steps("ABCDE", 3, 5, 3), (std::vector<std::string>{"ABCDE", "ABCDE", "ABCDE"}));
}

TEST(KELDARSkinTextEffects, CharactersNotBytes) {
  const auto steps = Steps("\xC3\xA9t\xC3\xA9", 1, 3, 4);  // "été"
  EXPECT_EQ(steps[0], "   \xC3\xA9t\xC3\xA9");
  EXPECT_EQ(steps[3], "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(Steps("\xC3\xA9t\xC3\xA9", 2, 3, 1)[0], "\xC3\xA9 \xC3\xA9");
}

TEST(KELDARSkinTextEffects, ArtistAndTitleKeepTheirOwnCounters) {
  MultimediaSkinStructure skin;
  KELDARSkinDisplayState() = {};
  skin[DeckForm_SongArtistWindow].Control_TextString = "ARTIST";
  skin[DeckForm_SongTitleWindow].Control_TextString = "TITLE";
  StepKELDARSkinTextEffect(DeckForm_SongArtistWindow, 1, 4, skin);
  StepKELDARSkinTextEffect(DeckForm_SongArtistWindow, 1, 4, skin);
  StepKELDARSkinTextEffect(DeckForm_SongTitleWindow, 1, 4, skin);
  EXPECT_EQ(skin[DeckForm_SongArtistWindow].Control_ProcessedTextString, "   ARTIST");
  EXPECT_EQ(skin[DeckForm_SongTitleWindow].Control_ProcessedTextString, "    TITLE");
  EXPECT_EQ(skin[DeckForm_SongArtistWindow].Control_TextString, "ARTIST");
  RestartKELDARSkinTextEffect(DeckForm_SongArtistWindow);
  StepKELDARSkinTextEffect(DeckForm_SongArtistWindow, 1, 4, skin);
  EXPECT_EQ(skin[DeckForm_SongArtistWindow].Control_ProcessedTextString, "    ARTIST");
  // Other controls have no effect counter.
  skin[DeckForm_KbpsTextWindow].Control_TextString = "128";
  StepKELDARSkinTextEffect(DeckForm_KbpsTextWindow, 1, 3, skin);
  EXPECT_EQ(skin[DeckForm_KbpsTextWindow].Control_ProcessedTextString, "");
  CopyKELDARSkinDisplayTextsPlain(skin);
  EXPECT_EQ(skin[DeckForm_KbpsTextWindow].Control_ProcessedTextString, "128");
}

TEST(KELDARSkinTextEffects, PauseBlinkSavesAndRestoresThePlayedTime) {
  MultimediaSkinStructure skin;
  KELDARSkinDisplayState() = {};
  auto& time = skin[DeckForm_SongCurrectPlayingTimeWindow];
  time.Control_TextString = " 01:23";
  StepKELDARSkinTimeBlink(skin);
  EXPECT_EQ(time.Control_TextString, "  :  ");
  EXPECT_EQ(time.Control_ProcessedTextString, "  :  ");
  EXPECT_EQ(KELDARSkinDisplayState().BlinkSavedTimeText, " 01:23");
  StepKELDARSkinTimeBlink(skin);
  EXPECT_EQ(time.Control_ProcessedTextString, " 01:23");
  StepKELDARSkinTimeBlink(skin);
  RestoreKELDARSkinBlinkedTime(skin);  // play pressed during the blank phase
  EXPECT_EQ(time.Control_TextString, " 01:23");
  EXPECT_FALSE(KELDARSkinDisplayState().BlinkBlankShown);
  time.Control_TextString = " 01:24";
  RestoreKELDARSkinBlinkedTime(skin);  // outside the blank phase nothing is overwritten
  EXPECT_EQ(time.Control_TextString, " 01:24");
}

}  // namespace
