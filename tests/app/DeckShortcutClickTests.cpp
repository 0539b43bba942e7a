// Shortcuts that click main-window controls, on the real windows with the built-in skin:
// the simulated click lands on the control, flips it and runs its action as a mouse click
// does; once the main window is gone the command reports itself instead of clicking.
#include <gtest/gtest.h>

#include <QTest>

#include <memory>

#include "CommandTestSupport.h"
#include "DefaultSkinnedWindows.h"
#include "TestSupport.h"
#include "app/CommandHooks.h"
#include "app/ShortcutsUnit.h"
#include "app/StartupHooks.h"

namespace {

class DeckShortcutClicks : public ::testing::Test {
 protected:
  void SetUp() override {
    CommandActions() = {};
    windows = std::make_unique<TDefaultSkinnedWindows>(program.Path());
    ASSERT_TRUE(LoadedKELDARSkin().Ready);
    InstallCommandHooks();
  }
  void TearDown() override {
    windows.reset();
    RemoveApplicationShortcutFilter();
    StartupHooks() = {};
    CommandActions() = {};
  }

  TTempFolder program;
  TMessageLogCapture log{program / "messages.log"};
  std::unique_ptr<TDefaultSkinnedWindows> windows;
};

TEST_F(DeckShortcutClicks, CtrlEClicksTheEqualizerButtonOnTheMainWindow) {
  TDeckForm& deck = windows->Deck;
  std::vector<bool> seen;
  SetSkinToggleState(DeckForm_EQButton, false);
  BindSkinControlClickProcedure(DeckForm_EQButton, [&seen] { seen.push_back(GetSkinToggleState(DeckForm_EQButton)); });
  deck.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&deck));
  QTest::keyClick(deck.windowHandle(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(seen, std::vector<bool>{true});
  QTest::keyClick(deck.windowHandle(), Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  EXPECT_EQ(MultimediaSkin()[DeckForm_EQButton].Control_NEWMouseState, meMouseUp);
  BindSkinControlClickProcedure(DeckForm_EQButton, {});
  deck.hide();
}

TEST_F(DeckShortcutClicks, DeckCommandsDoNothingOnceTheMainWindowIsGone) {
  EXPECT_EQ(DeckForm(), &windows->Deck);
  windows.reset();
  EXPECT_EQ(DeckForm(), nullptr);
  TWarningCapture warnings;
  // During exit the window is gone: the commands must neither crash nor act on a dead window.
  CommandActions().ClickDeckControl(DeckForm_EQButton);
  CommandActions().CloseMainWindow();
  EXPECT_TRUE(TWarningCapture::Texts().empty());
}

}  // namespace
