// The equalizer window: a fixed skinned window (sliders, toggles, level meters, effects) with
// its 20 ms timer that feeds the level meters and both effect canvases.
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
  // Reads the preamp and band sliders into the engine (UpdateEQ), shows their hints, repaints.
  void UpdateEqualizerControls();

 private:
  static constexpr int kDataIntervalMs = 20;
  static constexpr int kRestIntervalMs = 400;
  TWindowTimer m_timer1{kDataIntervalMs};
};

// The equalizer window while it exists, else null.
TEqualizerForm* EqualizerForm();
