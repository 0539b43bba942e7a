#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>
#include <QWidget>

#include "CommandTestSupport.h"
#include "app/GlobalHotkeys.h"
#include "app/ShortcutsUnit.h"
#include "app/VirtualKeyCodes.h"

namespace {

[[maybe_unused]] const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtApplicationEnvironment);

constexpr TShortcutModifiers kNone{};
constexpr TShortcutModifiers kCtrl{true, false, false};
constexpr TShortcutModifiers kCtrlAlt{true, true, false};
constexpr TShortcutModifiers kCtrlAltShift{true, true, true};

// Counts the key presses that reach it (modifier keys on their own aside).
class TKeyCountingWidget : public QWidget {
 public:
  int Presses = 0;
  std::vector<int> Keys;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const int key = event->key();
    if (key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Shift) return;
    ++Presses;
    Keys.push_back(event->key());
    event->accept();
  }
};

}  // namespace

TEST(VirtualKeyCodes, LettersDigitsFunctionKeysAndMediaKeysKeepTheirNumbers) {
  for (int k = 0; k < 26; ++k) EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_A + k), 65 + k);
  for (int k = 0; k < 10; ++k) EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_0 + k), 48 + k);
  for (int k = 0; k < 12; ++k) EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_F1 + k), 112 + k);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_VolumeMute), 173);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_VolumeDown), 174);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_VolumeUp), 175);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_MediaNext), 176);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_MediaPrevious), 177);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_MediaStop), 178);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_MediaPlay), 179);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_MediaTogglePlayPause), 179);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_MediaPause), 179);
}

TEST(VirtualKeyCodes, SpecialKeysKeypadAndShiftedSymbols) {
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Return), 13);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Enter), 13);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Escape), 27);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Space), 32);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Delete), 46);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Left), 37);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Down), 40);
  // The keypad has numbers of its own.
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_5, true), 101);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Plus, true), 107);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Plus, false), 187);
  // A shifted digit is the digit key; keys without a number give 0.
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Exclam), '1');
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_ParenRight), '0');
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_unknown), 0);
  EXPECT_EQ(QtKeyToVirtualKey(Qt::Key_Adiaeresis), 0);
}

TEST(ShortcutMatches, ModifierSetsMustBeEqualAndTheKeyIsTheLastCharacter) {
  EXPECT_TRUE(ShortcutMatches(90, "CTRL+ALT+Z", kCtrlAlt));
  EXPECT_FALSE(ShortcutMatches(90, "CTRL+ALT+Z", kCtrlAltShift));
  EXPECT_FALSE(ShortcutMatches(90, "CTRL+ALT+Z", kCtrl));
  EXPECT_FALSE(ShortcutMatches(90, "CTRL+ALT+Z", kNone));
  EXPECT_FALSE(ShortcutMatches(89, "CTRL+ALT+Z", kCtrlAlt));
  EXPECT_TRUE(ShortcutMatches(90, "SHIFT+CTRL+ALT+Z", kCtrlAltShift));
  EXPECT_TRUE(ShortcutMatches('E', "CTRL+E", kCtrl));
  EXPECT_FALSE(ShortcutMatches('E', "CTRL+E", kCtrlAlt));
  // The modifier names are found in the upper-cased text.
  EXPECT_TRUE(ShortcutMatches(90, "ctrl+Alt+Z", kCtrlAlt));
  EXPECT_FALSE(ShortcutMatches(0, "", kNone));
  EXPECT_EQ(RequiredShortcutModifiers("Shift+F"), (TShortcutModifiers{false, false, true}));
}

TEST(ShortcutTable, EveryRowRunsItsCommandAndMarksTheKeyHandled) {
  TActionRecorder rec;
  struct TCase {
    int Key;
    TShortcutModifiers Held;
    const char* Expected;
  };
  const TCase cases[] = {
      {'Z', kCtrlAlt, "Previous"},     {'X', kCtrlAlt, "Play"},
      {'C', kCtrlAlt, "Pause"},        {'V', kCtrlAlt, "Stop"},
      {'B', kCtrlAlt, "Next"},         {'N', kCtrlAlt, "AddFiles"},
      {'R', kCtrlAlt, "RecordingDialog"}, {'E', kCtrl, "Click:DeckForm_EQButton"},
      {'P', kCtrl, "Click:DeckForm_PLButton"}, {'G', kCtrl, "Click:DeckForm_VisExButton"},
      {'D', kCtrl, "Click:DeckForm_DBButton"}, {112, kNone, "Preferences:Help"},
      {177, kNone, "Previous"},        {178, kNone, "Stop"},
      {176, kNone, "Next"},            {179, kNone, "Play"},  // stopped: play
  };
  for (const TCase& c : cases) {
    rec.Calls.clear();
    EXPECT_TRUE(RunMatchingShortcuts(c.Key, false, c.Held)) << c.Expected;
    EXPECT_EQ(rec.Calls, std::vector<std::string>{c.Expected});
  }
  // The mute key is taken, and does nothing.
  rec.Calls.clear();
  EXPECT_TRUE(RunMatchingShortcuts(173, false, kNone));
  EXPECT_TRUE(rec.Calls.empty());
  // Keys that no row names, or with other modifiers, are left alone.
  EXPECT_FALSE(RunMatchingShortcuts('Z', false, kCtrlAltShift));
  EXPECT_FALSE(RunMatchingShortcuts('E', false, kCtrlAlt));
  EXPECT_FALSE(RunMatchingShortcuts('Q', false, kNone));
  EXPECT_TRUE(rec.Calls.empty());
  EXPECT_EQ(ShortcutTable().size(), 16u);
}

TEST(ShortcutTable, TheMediaKeyColumnCountsOnlyWhileNoHotKeysAreRegistered) {
  TActionRecorder rec;
  TLiveSkinWithVolumeAction skin;
  for (int key : {173, 174, 175, 176, 177, 178, 179, 112}) {
    EXPECT_FALSE(RunMatchingShortcuts(key, true, kNone)) << key;
  }
  EXPECT_TRUE(rec.Calls.empty());
  EXPECT_TRUE(skin.VolumeSeen.empty());
  // The text shortcuts stay.
  EXPECT_TRUE(RunMatchingShortcuts('Z', true, kCtrlAlt));
  EXPECT_EQ(rec.Calls, std::vector<std::string>{"Previous"});
}

TEST(ShortcutTable, PlayPauseKeyPausesWhilePlayingOrPausedAndPlaysOtherwise) {
  TActionRecorder rec;
  const std::pair<int, const char*> expected[] = {{0, "Pause"}, {1, "Pause"}, {2, "Play"}, {3, "Play"}};
  for (const auto& [state, action] : expected) {
    rec.Calls.clear();
    rec.EngineState = state;
    EXPECT_TRUE(RunMatchingShortcuts(179, false, kNone));
    EXPECT_EQ(rec.Calls, std::vector<std::string>{action}) << "state " << state;
  }
}

TEST(ShortcutTable, VolumeStepsAreLimitedAndTheSliderActionSeesTheNewValue) {
  TActionRecorder rec;
  TLiveSkinWithVolumeAction skin;
  SetSkinSliderValue(DeckForm_VolumeImage, 98);
  EXPECT_TRUE(RunMatchingShortcuts('Q', false, kCtrlAlt));
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage), 100);
  SetSkinSliderValue(DeckForm_VolumeImage, 3);
  EXPECT_TRUE(RunMatchingShortcuts('A', false, kCtrlAlt));
  EXPECT_EQ(GetSkinControlValue(DeckForm_VolumeImage), 0);
  SetSkinSliderValue(DeckForm_VolumeImage, 50);
  EXPECT_TRUE(RunMatchingShortcuts(175, false, kNone));
  EXPECT_TRUE(RunMatchingShortcuts(174, false, kNone));
  EXPECT_TRUE(RunMatchingShortcuts(174, false, kNone));
  EXPECT_EQ(skin.VolumeSeen, (std::vector<int>{100, 0, 55, 50, 45}));
  // The knob moved with the value (vertical track: value 0 at the bottom).
  const StringIdentStructure& track = MultimediaSkin()[DeckForm_VolumeImage];
  SetSkinSliderValue(DeckForm_VolumeImage, 0);
  const int bottom = track.Control_NEWY;
  StepVolumeSlider(+100);
  EXPECT_NE(track.Control_NEWY, bottom);
}

TEST(CommandActions, AnActionWithoutItsWindowDoesNothingQuietly) {
  // A window built alone (no main window, no dialogs): shortcuts reach nothing and say nothing.
  CommandActions() = {};
  BuildKELDARSkinCatalogue(TKELDARSkinFamily::Own);
  BindSkinControlClickProcedure(DeckForm_VolumeImage, {});
  TWarningCapture warnings;
  RunShortcutCommand(TShortcutCommand::Previous);
  RunShortcutCommand(TShortcutCommand::HelpPage);
  RunShortcutCommand(TShortcutCommand::ClickEQButton);
  RunShortcutCommand(TShortcutCommand::VolumeUp);
  EXPECT_TRUE(TWarningCapture::Texts().empty());
}

TEST(ApplicationShortcutFilter, AMatchingKeyActsOnceAndNeverReachesTheFocusedWidget) {
  TActionRecorder rec;
  ASSERT_FALSE(GlobalHotkeysRegistered());
  InstallApplicationShortcutFilter();
  InstallApplicationShortcutFilter();  // still one filter
  TKeyCountingWidget widget;
  widget.setFocusPolicy(Qt::StrongFocus);
  widget.show();
  widget.setFocus();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  // Through the window, as the platform delivers keys: the modifiers held are the keyboard state.
  QTest::keyClick(widget.windowHandle(), Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(rec.Calls, std::vector<std::string>{"Previous"});
  EXPECT_EQ(widget.Presses, 0);
  // With SHIFT held as well the shortcut does not match and the widget gets the key.
  QTest::keyClick(widget.windowHandle(), Qt::Key_Z, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
  EXPECT_EQ(rec.Calls.size(), 1u);
  EXPECT_EQ(widget.Presses, 1);
  QTest::keyClick(widget.windowHandle(), Qt::Key_MediaStop);
  QTest::keyClick(widget.windowHandle(), Qt::Key_F1);
  EXPECT_EQ(rec.Calls, (std::vector<std::string>{"Previous", "Stop", "Preferences:Help"}));
  QTest::keyClick(widget.windowHandle(), Qt::Key_A);
  EXPECT_EQ(widget.Presses, 2);
  EXPECT_EQ(widget.Keys.back(), Qt::Key_A);
  RemoveApplicationShortcutFilter();
  QTest::keyClick(widget.windowHandle(), Qt::Key_F1);
  EXPECT_EQ(rec.Calls.size(), 3u);
  EXPECT_EQ(widget.Presses, 3);
}

TEST(ShortcutMatches, ReadsTheModifiersHeldAtThatMoment) {
  TKeyCountingWidget widget;
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  QTest::keyPress(widget.windowHandle(), Qt::Key_Control, Qt::ControlModifier);
  QTest::keyPress(widget.windowHandle(), Qt::Key_Alt, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_TRUE(ShortcutMatches(90, "CTRL+ALT+Z"));
  EXPECT_FALSE(ShortcutMatches(90, "CTRL+Z"));
  QTest::keyRelease(widget.windowHandle(), Qt::Key_Alt, Qt::ControlModifier);
  QTest::keyRelease(widget.windowHandle(), Qt::Key_Control, Qt::NoModifier);
  EXPECT_FALSE(ShortcutMatches(90, "CTRL+ALT+Z"));
  EXPECT_EQ(PressedShortcutModifiers(), TShortcutModifiers{});
}
