#include "app/EqualizerForm.h"

#include "app/DeckController.h"
#include "app/EqualizerWindowData.h"
#include "app/VisualsScreenPlugins.h"
#include "app/deck.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"

namespace {
TEqualizerForm* g_equalizer = nullptr;
}

TEqualizerForm* EqualizerForm() { return g_equalizer; }

TEqualizerForm::TEqualizerForm(QWidget* parent) : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Equalizer, parent) {
  g_equalizer = this;
  setObjectName("TEqualizerForm");
  setWindowTitle("Equalizer");
  m_timer1.SetWork([this] {
    TakeVisualsFrameOnTick();
    const bool moved = EqualizerWindowDataTick(DeckForm(), this);
    // With nothing playing the meters and canvases settle after a tick; the timer then rests
    // instead of waking a stopped player 50 times a second.
    if (!moved && KELDAR_AUDIOVIDEO_API_State().PlayerState != KELDAR_AUDIOVIDEO_API_psPlaying) m_timer1.Rest();
  });
}

TEqualizerForm::~TEqualizerForm() {
  if (g_equalizer == this) g_equalizer = nullptr;
}

void TEqualizerForm::showEvent(QShowEvent* event) {
  TSkinUnitTemplateForm::showEvent(event);
  m_timer1.Wake();  // meters and canvas left as they were while hidden
}

void WakeEqualizerWindowData() {
  if (TEqualizerForm* equalizer = EqualizerForm()) equalizer->WakeDataTimer();
}

void TEqualizerForm::UpdateEqualizerControls() {
  ApplyEqualizerSlidersToEngine();
  update();
}
