// The dialogs and windows that skin controls open but that are built separately: the
// preferences dialog, the recording dialog, the "Add URL to Playlist" dialog,
// the song library's grid, dialogs and list menu, and the visuals window's content. Each
// installs its hook at start-up. UI thread only.
#pragma once

#include <functional>
#include <string>

#include "skin/KELDARSkinControls_IDs.h"

struct TLaterDialogHooks {
  // The preferences dialog on the page with this caption.
  std::function<void(const std::string& page)> ShowPreferencesPage;
  // The page becomes the dialog's current one; the dialog stays as it is.
  std::function<void(const std::string& page)> SelectPreferencesPage;
  std::function<void()> ShowRecordingDialog;
  // The preferences on "Encoders Options" with its output-folder chooser running.
  std::function<void()> ChooseRecordingOutputFolder;
  std::function<void()> ShowAddURLDialog;
  // The library grid follows its scroll track (value 0..100, 100 = top).
  std::function<void(int value)> ScrollLibraryGrid;
  std::function<void()> ShowLibraryFindDialog;  // modal
  std::function<void()> ShowLibrarySortDialog;  // modal
  std::function<void()> ViewSelectedLibraryEntry;
  // The library's list menu, opened at this control of the library window.
  std::function<void(KELDARSkinControls_IDs button)> ShowLibraryListMenuAt;
};

TLaterDialogHooks& LaterDialogHooks();

// Runs the hook when it is installed.
void RunLaterDialogHook(const std::function<void()>& hook);
