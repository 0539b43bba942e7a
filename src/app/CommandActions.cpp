#include "app/CommandActions.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtGlobal>

#include <algorithm>

#include "app/deck.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "skin/Form_ControlsList.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinLoader.h"
#include "skin/SkinMaskSliders.h"

namespace {

// The program installs every action at start-up; before that (and in parts of the program run
// alone) an action has nothing to act on and does nothing.
void Run(const std::function<void()>& action) {
  if (action) action();
}

void RunWithPage(const std::function<void(const std::string&)>& action, const std::string& page) {
  if (action) action(page);
}

}  // namespace

TCommandActions& CommandActions() {
  static TCommandActions actions;
  return actions;
}

void CommandPrevious() { Run(CommandActions().Previous); }
void CommandPlay() { Run(CommandActions().Play); }
void CommandPause() { Run(CommandActions().Pause); }
void CommandStop() { Run(CommandActions().Stop); }
void CommandNext() { Run(CommandActions().Next); }

void CommandPauseOrPlay() {
  const int state = CommandEnginePlayerState();
  if (state == KELDAR_AUDIOVIDEO_API_psPlaying || state == KELDAR_AUDIOVIDEO_API_psPaused)
    CommandPause();
  else
    CommandPlay();
}

int CommandEnginePlayerState() {
  const auto& state = CommandActions().EnginePlayerState;
  return state ? state() : KELDAR_AUDIOVIDEO_API_State().PlayerState;
}

void CommandVisualsMenuItem(const std::string& item) {
  RunWithPage(CommandActions().VisualsMenuItem, item);
}

void CommandAddFiles() { Run(CommandActions().AddFiles); }
void CommandShowRecordingDialog() { Run(CommandActions().ShowRecordingDialog); }

void CommandShowPreferencesPage(const std::string& page) {
  RunWithPage(CommandActions().ShowPreferencesPage, page);
}

void CommandSelectPreferencesPage(const std::string& page) {
  RunWithPage(CommandActions().SelectPreferencesPage, page);
}

void CommandClickDeckControl(KELDARSkinControls_IDs control) {
  const auto& click = CommandActions().ClickDeckControl;
  if (click) click(control);
}

void CommandShowMainForm() { Run(CommandActions().ShowMainForm); }
void CommandCloseMainWindow() { Run(CommandActions().CloseMainWindow); }
void CommandCheckForUpdates() { Run(CommandActions().CheckForUpdates); }

void RunSkinControlAction(KELDARSkinControls_IDs control) {
  if (!IsKELDARSkinControlOrdinal(control)) return;
  // A copy: the action may rebind controls or load another skin.
  const KELDARSkin_ControlClickProcedureType action = MultimediaSkin()[control].Control_LeftClickProcedure;
  if (action) action();
}

void FlipSkinButtonAndRunAction(KELDARSkinControls_IDs control) {
  SetSkinControlMouseState(control, meMouseUp);
  RunSkinControlAction(control);
}

void StepVolumeSlider(int delta) {
  const KELDARSkinControls_IDs volume = DeckForm_VolumeImage;
  const int value = std::clamp(GetSkinControlValue(volume) + delta, 0, 100);
  SetLoadedSkinSliderValue(volume, value);
  if (TDeckForm* deck = DeckForm()) deck->update();
  RunSkinControlAction(volume);
}

void SimulateSkinClickAt(QWidget& widget, const QPoint& at) {
  const QPointF local(at);
  const QPointF global(widget.mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &release);
}

void SimulateSkinControlClick(QWidget& window, KELDARSkinControls_IDs control) {
  const TSkinControlRect rect = SkinControlWindowRect(control);
  SimulateSkinClickAt(window, QPoint(rect.Left + 1, rect.Top + 1));
}
