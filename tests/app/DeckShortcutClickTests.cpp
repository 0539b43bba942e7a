// Shortcuts that click main-window controls, on a real main window with the built-in skin:
// the simulated click lands on the control, flips it and runs its action as a mouse click does.
#include <gtest/gtest.h>

#include <QTest>

#include <filesystem>

#include "CommandTestSupport.h"
#include "TestSupport.h"
#include "app/CommandHooks.h"
#include "app/ProgramStartup.h"
#include "app/ShortcutsUnit.h"
#include "app/StartupHooks.h"
#include "app/deck.h"
#include "skin/KELDARSkinLoader.h"
#include "util/ProgramFolders.h"

namespace {

// Only the main window takes part.
class TDeckOnlyWindows : public IKELDARSkinWindows {
 public:
  explicit TDeckOnlyWindows(TDeckForm& deck) : m_deck(deck) {}
  void StoreStateAndHide() override {}
  void ApplyPlaylistText(const TKELDARSkinTextSettings&) override {}
  void ApplyLibraryText(const TKELDARSkinTextSettings&) override {}
  void Configure(const TKELDARSkinWindowSetup& setup) override {
    if (setup.Window == TKELDARSkinnedWindow::Deck) m_deck.ConfigureSkin(setup);
  }
  void RestoreStateAndRepaint() override { m_deck.update(); }
  void SetShape(TKELDARSkinnedWindow, const TKELDARSkinPolygons*) override {}

 private:
  TDeckForm& m_deck;
};

}  // namespace

TEST(DeckShortcutClicks, CtrlEClicksTheEqualizerButtonOnTheMainWindow) {
  TTempFolder program;
  SetProgramFolderForTesting(program.Path());
  std::filesystem::create_directories(program / "skins");
  TMessageLogCapture log(program / "messages.log");
  CommandActions() = {};
  // The window only: its first-show sequence (settings, engine, plug-ins) is not part of this.
  StartupFlags().FirstShowPending = false;
  TDeckForm deck;
  TDeckOnlyWindows windows(deck);
  ASSERT_EQ(LoadKELDARSkin("Default", windows, true), "Default");
  ASSERT_TRUE(LoadedKELDARSkin().Ready);
  InstallCommandHooks();

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
  RemoveApplicationShortcutFilter();
  StartupHooks() = {};
  CommandActions() = {};
  deck.hide();
}
