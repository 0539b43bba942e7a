#include "app/CommandHooks.h"

#include "app/CommandActions.h"
#include "app/GlobalHotkeys.h"
#include "app/PopUpMenus.h"
#include "app/ShortcutsUnit.h"
#include "app/StartupHooks.h"
#include "app/deck.h"

void InstallCommandHooks() {
  TStartupHooks& hooks = StartupHooks();
  hooks.RegisterGlobalHotkeys = [] { return RegisterGlobalHotkeys(DeckForm()); };
  hooks.UnregisterGlobalHotkeys = [] { UnregisterGlobalHotkeys(DeckForm()); };
  hooks.BuildPopUpMenus = [] { BuildMainPopUpMenu(); };

  InstallApplicationShortcutFilter();
  InstallGlobalHotkeyEventFilter();

  TCommandActions& actions = CommandActions();
  if (!actions.ClickDeckControl)
    actions.ClickDeckControl = [](KELDARSkinControls_IDs control) {
      if (TDeckForm* deck = DeckForm())
        SimulateSkinControlClick(*deck, control);
      else
        CommandActionNotInstalled("ClickDeckControl (no main window)");
    };
  if (!actions.CloseMainWindow)
    actions.CloseMainWindow = [] {
      if (TDeckForm* deck = DeckForm())
        deck->close();
      else
        CommandActionNotInstalled("CloseMainWindow (no main window)");
    };
  if (!actions.CheckForUpdates)
    actions.CheckForUpdates = [] {
      if (TDeckForm* deck = DeckForm())
        deck->CheckForUpdatesClick();
      else
        CommandActionNotInstalled("CheckForUpdates (no main window)");
    };
}
