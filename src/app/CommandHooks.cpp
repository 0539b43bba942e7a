#include "app/CommandHooks.h"

#include <string>

#include "app/CommandActions.h"
#include "app/GlobalHotkeys.h"
#include "app/PopUpMenus.h"
#include "app/ShortcutsUnit.h"
#include "app/StartupHooks.h"
#include "app/deck.h"

namespace {

// Runs `act` on the main window; without one (during exit) there is nothing to act on.
void OnDeckForm(void (*act)(TDeckForm&)) {
  if (TDeckForm* deck = DeckForm()) act(*deck);
}

}  // namespace

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
      if (TDeckForm* deck = DeckForm()) SimulateSkinControlClick(*deck, control);
    };
  if (!actions.CloseMainWindow)
    actions.CloseMainWindow = [] { OnDeckForm([](TDeckForm& deck) { deck.close(); }); };
  if (!actions.CheckForUpdates)
    actions.CheckForUpdates = [] {
      OnDeckForm([](TDeckForm& deck) { deck.CheckForUpdatesClick(); });
    };
}
