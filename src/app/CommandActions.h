// The actions that keyboard shortcuts, global hot keys and the pop-up and tray menus run.
// The deck controller and the windows install the real ones at start-up; an action that is not
// installed (a window built alone in a test) does nothing.
// UI thread only.
#pragma once

#include <QPoint>
#include <QWidget>

#include <functional>
#include <string>

#include "skin/KELDARSkinControls_IDs.h"

struct TCommandActions {
  // Transport (the deck controller).
  std::function<void()> Previous;
  std::function<void()> Play;
  std::function<void()> Pause;
  std::function<void()> Stop;
  std::function<void()> Next;
  // Engine player state: 0 playing, 1 paused, 2 stopped, 3 ended. When not installed the
  // engine's shared state is read.
  std::function<int()> EnginePlayerState;
  // The eject button's action: add files with the file dialog.
  std::function<void()> AddFiles;
  std::function<void()> ShowRecordingDialog;
  // Shows the preferences dialog on the page with this name.
  std::function<void(const std::string& page)> ShowPreferencesPage;
  // Makes this page the dialog's current one without showing the dialog.
  std::function<void(const std::string& page)> SelectPreferencesPage;
  // A left-button press and release on the main window at one pixel inside the control.
  std::function<void(KELDARSkinControls_IDs control)> ClickDeckControl;
  // Tray: restore the main window.
  std::function<void()> ShowMainForm;
  // Close the main window (the exit sequence).
  std::function<void()> CloseMainWindow;
  std::function<void()> CheckForUpdates;
  // The visuals window's drawing-area menu: runs an item by its text.
  std::function<void(const std::string& item)> VisualsMenuItem;
};
TCommandActions& CommandActions();

// Running the installed actions.
void CommandPrevious();
void CommandPlay();
void CommandPause();
void CommandStop();
void CommandNext();
// Pause when the engine is playing or paused, else Play (the play/pause media key).
void CommandPauseOrPlay();
int CommandEnginePlayerState();
void CommandAddFiles();
void CommandShowRecordingDialog();
void CommandShowPreferencesPage(const std::string& page);
void CommandSelectPreferencesPage(const std::string& page);
void CommandClickDeckControl(KELDARSkinControls_IDs control);
void CommandShowMainForm();
void CommandCloseMainWindow();
void CommandCheckForUpdates();
void CommandVisualsMenuItem(const std::string& item);

// Runs a skin control's click procedure; a control without one does nothing.
void RunSkinControlAction(KELDARSkinControls_IDs control);
// Flips a toggle button (on/off, new mouse state up) and runs its action.
void FlipSkinButtonAndRunAction(KELDARSkinControls_IDs control);
// Moves the main window's volume slider by `delta`, limited to 0..100, and runs its action.
void StepVolumeSlider(int delta);

// A user's left-button press and release at a client point of `widget`, handled before
// return: the one path every simulated click (shortcuts, menus, control messages) takes.
void SimulateSkinClickAt(QWidget& widget, const QPoint& at);
// The same at the control's top-left corner plus one pixel of `window`.
void SimulateSkinControlClick(QWidget& window, KELDARSkinControls_IDs control);
