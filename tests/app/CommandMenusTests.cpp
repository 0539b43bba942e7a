#include <gtest/gtest.h>

#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

#include "CommandTestSupport.h"
#include "TestSupport.h"
#include "app/CommandHooks.h"
#include "app/GlobalHotkeys.h"
#include "app/PopUpMenus.h"
#include "app/StartupHooks.h"
#include "app/TrayMenu.h"
#include "app/deck.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ShowMessage.h"

namespace {

// The menu as text: "-" for a separator, "Name(child, child)" for a submenu.
std::vector<std::string> MenuTexts(const QMenu& menu) {
  std::vector<std::string> texts;
  for (QAction* action : menu.actions()) {
    if (action->isSeparator()) {
      texts.push_back("-");
    } else if (QMenu* sub = action->menu()) {
      std::string text = action->text().toStdString() + "(";
      const std::vector<std::string> children = MenuTexts(*sub);
      for (std::size_t i = 0; i < children.size(); ++i) text += (i ? ", " : "") + children[i];
      texts.push_back(text + ")");
    } else {
      texts.push_back(action->text().toStdString());
    }
  }
  return texts;
}

QAction* FindEntry(const QMenu& menu, const QString& text) {
  for (QAction* action : menu.actions()) {
    if (action->text() == text && !action->menu()) return action;
    if (QMenu* sub = action->menu())
      if (QAction* found = FindEntry(*sub, text)) return found;
  }
  return nullptr;
}

std::vector<std::string> LoggedTexts(const std::string& path) {
  std::vector<std::string> texts;
  for (const TMessage& m : ReadMessageLog(path)) texts.push_back(m.Text);
  return texts;
}

const std::vector<std::string> kMainMenu = {
    "About",
    "-",
    "Information(What's New, Credits, FAQ)",
    "Skins",
    "Plugins(VIS Plugins, DSP Plugins, Generic Plugins)",
    "Options(General Options, Audio Library Options, Encoders Options, freedb Options, Utilities, Extensions)",
    "-",
    "Equalizer",
    "Playlist Editor",
    "Visuals Screen",
    "CD Database",
    "-",
    "Help",
    "Check for Updates",
    "-",
    "Exit",
};

class TClickRecordingWidget : public QWidget {
 public:
  std::vector<std::string> Events;

 protected:
  void mousePressEvent(QMouseEvent* e) override { Record("press", e); }
  void mouseReleaseEvent(QMouseEvent* e) override { Record("release", e); }

 private:
  void Record(const char* what, QMouseEvent* e) {
    const QPoint at = e->position().toPoint();
    Events.push_back(std::string(what) + (e->button() == Qt::LeftButton ? " left " : " other ") +
                     std::to_string(at.x()) + "," + std::to_string(at.y()));
  }
};

}  // namespace

TEST(MainPopUpMenu, HasExactlyTheEntriesInOrderAndEndsOnTheFirstPreferencesPage) {
  TActionRecorder rec;
  QMenu menu;
  CreatePopUpMenus(menu);
  EXPECT_EQ(MenuTexts(menu), kMainMenu);
  EXPECT_EQ(rec.Calls, std::vector<std::string>{"SelectPage:About"});
  // Built again, it is the same menu, not a doubled one.
  CreatePopUpMenus(menu);
  EXPECT_EQ(MenuTexts(menu), kMainMenu);
}

TEST(MainPopUpMenu, PageEntriesOpenThePreferencesOnTheirPage) {
  TActionRecorder rec;
  QMenu menu;
  CreatePopUpMenus(menu);
  rec.Calls.clear();
  for (const char* page : {"Help", "About", "Skins", "What's New", "DSP Plugins", "freedb Options"}) {
    QAction* entry = FindEntry(menu, page);
    ASSERT_NE(entry, nullptr) << page;
    entry->trigger();
  }
  EXPECT_EQ(rec.Calls, (std::vector<std::string>{"Preferences:Help", "Preferences:About", "Preferences:Skins",
                                                 "Preferences:What's New", "Preferences:DSP Plugins",
                                                 "Preferences:freedb Options"}));
  FindEntry(menu, "Check for Updates")->trigger();
  FindEntry(menu, "Exit")->trigger();
  EXPECT_EQ(rec.Calls.back(), "CloseMainWindow");
  EXPECT_EQ(rec.Calls[rec.Calls.size() - 2], "CheckForUpdates");
}

TEST(MainPopUpMenu, MyShowDropsOnlyTheFirstAmpersandOfTheCaption) {
  EXPECT_EQ(PreferencesPageOfCaption("&Help"), "Help");
  EXPECT_EQ(PreferencesPageOfCaption("Enc&oders Options"), "Encoders Options");
  EXPECT_EQ(PreferencesPageOfCaption("A&&B"), "A&B");
  EXPECT_EQ(PreferencesPageOfCaption("Skins"), "Skins");
  TActionRecorder rec;
  QMenu menu;
  QAction* entry = CreatePopupMenuItem(menu, "&Credits", [](QAction& e) { MyShow(e); });
  entry->trigger();
  EXPECT_EQ(rec.Calls, std::vector<std::string>{"Preferences:Credits"});
}

TEST(MainPopUpMenu, WindowEntriesFlipTheirButtonAndRunItsAction) {
  TActionRecorder rec;
  BuildKELDARSkinCatalogue(TKELDARSkinFamily::Own);
  std::vector<std::string> seen;
  const std::pair<const char*, KELDARSkinControls_IDs> entries[] = {{"Equalizer", DeckForm_EQButton},
                                                                    {"Playlist Editor", DeckForm_PLButton},
                                                                    {"Visuals Screen", DeckForm_VisExButton},
                                                                    {"CD Database", DeckForm_DBButton}};
  for (const auto& [caption, button] : entries) {
    SetSkinToggleState(button, false);
    BindSkinControlClickProcedure(button, [&seen, caption, button] {
      seen.push_back(std::string(caption) + (GetSkinToggleState(button) ? " on" : " off"));
    });
  }
  QMenu menu;
  CreatePopUpMenus(menu);
  for (const auto& [caption, button] : entries) FindEntry(menu, caption)->trigger();
  FindEntry(menu, "Equalizer")->trigger();
  EXPECT_EQ(seen, (std::vector<std::string>{"Equalizer on", "Playlist Editor on", "Visuals Screen on", "CD Database on",
                                            "Equalizer off"}));
  EXPECT_EQ(MultimediaSkin()[DeckForm_EQButton].Control_NEWMouseState, meMouseUp);
  for (const auto& [caption, button] : entries) BindSkinControlClickProcedure(button, {});
}

TEST(MainPopUpMenu, AMissingPageGivesTheErrorAndTheMenuIsBuiltAllTheSame) {
  TTempFolder dir;
  TMessageLogCapture log(dir / "messages.log");
  TActionRecorder rec;
  QMenu menu;
  CreatePopUpMenus(menu);
  EXPECT_TRUE(LoggedTexts(log.Path()).empty());

  const TPreferencesPageNode withoutDsp[] = {{"About", 0}, {"Plugins", 0}, {"VIS Plugins", 1},
                                             {"Options", 0}, {"Encoders Options", 1}, {"Help", 0}};
  CreatePopUpMenus(menu, withoutDsp);
  EXPECT_EQ(LoggedTexts(log.Path()),
            std::vector<std::string>{"Error: Check if PopUp Menu and NoteBook.ActivePage Strings are Correct"});
  EXPECT_EQ(MenuTexts(menu), (std::vector<std::string>{"About", "-", "Plugins(VIS Plugins)", "Options(Encoders Options)",
                                                       "-", "Equalizer", "Playlist Editor", "Visuals Screen",
                                                       "CD Database", "-", "Help", "Check for Updates", "-", "Exit"}));
}

TEST(MainPopUpMenu, ThePageTreeNamesOnlyNotebookPagesBelowItsGroups) {
  const std::span<const char* const> pages = PreferencesNotebookPages();
  ASSERT_EQ(pages.size(), 16u);
  EXPECT_STREQ(pages.front(), "About");
  EXPECT_STREQ(pages.back(), "Help");
  for (const TPreferencesPageNode& node : PreferencesPageTree()) {
    const bool isPage = std::any_of(pages.begin(), pages.end(), [&](const char* p) { return std::string(p) == node.Caption; });
    const bool isGroup = node.Level == 0 && (std::string(node.Caption) == "Information" ||
                                             std::string(node.Caption) == "Plugins" || std::string(node.Caption) == "Options");
    EXPECT_TRUE(isPage || isGroup) << node.Caption;
  }
}

TEST(TrayMenu, EntriesInOrderRunTheirActions) {
  TActionRecorder rec;
  QMenu menu;
  CreateTrayControlsPopupMenu(menu);
  EXPECT_EQ(MenuTexts(menu), (std::vector<std::string>{"Show Zorvane Audio Player", "-", "Previous File",
                                                       "Play Current File", "Pause", "Stop", "Next File", "-",
                                                       "Exit"}));
  for (QAction* action : menu.actions())
    if (!action->isSeparator()) action->trigger();
  EXPECT_EQ(rec.Calls, (std::vector<std::string>{"ShowMainForm", "Previous", "Play", "Pause", "Stop", "Next",
                                                 "CloseMainWindow"}));
  // The program's own tray menu is the same, built once.
  EXPECT_EQ(MenuTexts(TrayControlsPopupMenu()), MenuTexts(menu));
  EXPECT_EQ(&TrayControlsPopupMenu(), &TrayControlsPopupMenu());
}

TEST(SimulatedClick, PressAndReleaseOnePixelInsideTheControlsCorner) {
  BuildKELDARSkinCatalogue(TKELDARSkinFamily::Own);
  const TSkinControlRect rect = SkinControlWindowRect(DeckForm_EQButton);
  TClickRecordingWidget window;
  SimulateSkinControlClick(window, DeckForm_EQButton);
  const std::string at = std::to_string(rect.Left + 1) + "," + std::to_string(rect.Top + 1);
  EXPECT_EQ(window.Events, (std::vector<std::string>{"press left " + at, "release left " + at}));
}

TEST(GlobalHotkeys, TheSixMediaKeysInTheirOrder) {
  const std::span<const TGlobalHotkey> table = GlobalHotkeyTable();
  ASSERT_EQ(table.size(), 6u);
  const int keys[] = {177, 179, 178, 176, 175, 174};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(table[i].Id, i + 1);
    EXPECT_EQ(table[i].VirtualKey, keys[i]);
  }
}

TEST(GlobalHotkeys, WithoutAnX11DisplayRegistrationFailsWithTheMessageOnlyWhenAskedFor) {
  TTempFolder dir;
  TMessageLogCapture log(dir / "messages.log");
  Options_EnableWideHotkeysSupport.BooleanValue = false;
  EXPECT_FALSE(RegisterGlobalHotkeys(nullptr));
  EXPECT_TRUE(LoggedTexts(log.Path()).empty());
  Options_EnableWideHotkeysSupport.BooleanValue = true;
  EXPECT_FALSE(RegisterGlobalHotkeys(nullptr));
  EXPECT_FALSE(GlobalHotkeysRegistered());
  EXPECT_EQ(LoggedTexts(log.Path()), std::vector<std::string>{"Unable to assign All Wide Hotkeys.\r    Local Hotkeys Enabled"});
  UnregisterGlobalHotkeys(nullptr);
  EXPECT_FALSE(GlobalHotkeysRegistered());
  Options_EnableWideHotkeysSupport.BooleanValue = false;
}

TEST(GlobalHotkeys, EachIdRunsItsAction) {
  TActionRecorder rec;
  TLiveSkinWithVolumeAction skin;
  SetSkinSliderValue(DeckForm_VolumeImage, 98);
  rec.EngineState = 0;
  for (int id = 1; id <= 7; ++id) HandleGlobalHotkey(id);
  rec.EngineState = 2;
  HandleGlobalHotkey(2);
  EXPECT_EQ(rec.Calls, (std::vector<std::string>{"Previous", "Pause", "Stop", "Next", "Play"}));
  EXPECT_EQ(skin.VolumeSeen, (std::vector<int>{100, 95}));
}

TEST(CommandHooks, InstallTheStartupHooksAndTheDefaultActions) {
  TTempFolder dir;
  TMessageLogCapture log(dir / "messages.log");
  CommandActions() = {};
  StartupHooks().RegisterGlobalHotkeys = {};
  StartupHooks().UnregisterGlobalHotkeys = {};
  StartupHooks().BuildPopUpMenus = {};
  InstallCommandHooks();
  ASSERT_TRUE(StartupHooks().RegisterGlobalHotkeys);
  ASSERT_TRUE(StartupHooks().UnregisterGlobalHotkeys);
  ASSERT_TRUE(StartupHooks().BuildPopUpMenus);
  EXPECT_TRUE(CommandActions().ClickDeckControl);
  EXPECT_TRUE(CommandActions().CloseMainWindow);
  EXPECT_TRUE(CommandActions().CheckForUpdates);
  {
    TWarningCapture warnings;
    StartupHooks().BuildPopUpMenus();
    EXPECT_EQ(MenuTexts(MainPopUpMenu()), kMainMenu);
    // Without a main window (nor a preferences dialog) the default click has nothing to act on.
    if (!DeckForm()) CommandClickDeckControl(DeckForm_EQButton);
    EXPECT_TRUE(TWarningCapture::Texts().empty());
  }
  Options_EnableWideHotkeysSupport.BooleanValue = true;
  EXPECT_FALSE(StartupHooks().RegisterGlobalHotkeys());
  Options_EnableWideHotkeysSupport.BooleanValue = false;
  EXPECT_EQ(LoggedTexts(log.Path()), std::vector<std::string>{"Unable to assign All Wide Hotkeys.\r    Local Hotkeys Enabled"});
  StartupHooks() = {};
  CommandActions() = {};
}
