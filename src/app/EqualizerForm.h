// The equalizer window: a fixed skinned window (sliders, toggles, level meters, effects) with
// its 20 ms timer that feeds the level meters and both effect canvases. With nothing playing
// the timer rests once the displays have settled, until the player's state changes, a
// window shows or a display is switched.
#pragma once

#include "app/WindowTimer.h"
#include "skin/SkinUnitTemplate.h"

class TEqualizerForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  explicit TEqualizerForm(QWidget* parent = nullptr);
  ~TEqualizerForm() override;

  void EnableTimer(bool enabled) { m_timer1.Enable(enabled); }
  QTimer& DataTimer() { return m_timer1.Timer(); }
  void Timer1Timer() { m_timer1.Tick(); }
  bool DataTimerResting() const { return m_timer1.Resting(); }
  // The displays it feeds may move again: a resting timer ticks again from now on.
  void WakeDataTimer() { m_timer1.Wake(); }
  // Reads the preamp and band sliders into the engine (UpdateEQ), shows their hints, repaints.
  void UpdateEqualizerControls();

 private:
  void showEvent(QShowEvent* event) override;

  static constexpr int kDataIntervalMs = 20;
  TWindowTimer m_timer1{kDataIntervalMs};
};

// The equalizer window while it exists, else null.
TEqualizerForm* EqualizerForm();
// Wakes the equalizer window's data timer if the window exists.
void WakeEqualizerWindowData();
