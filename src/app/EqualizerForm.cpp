#include "app/EqualizerForm.h"

#include "app/DeckController.h"
#include "app/EqualizerWindowData.h"
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
    EqualizerWindowDataTick(DeckForm(), this);
    // With nothing playing the meters and canvases rest after their first tick: looking every
    // 400 ms instead of every 20 ms keeps a stopped player from waking 50 times a second.
    const bool playing = KELDAR_AUDIOVIDEO_API_State().PlayerState == KELDAR_AUDIOVIDEO_API_psPlaying;
    const int interval = playing ? kDataIntervalMs : kRestIntervalMs;
    if (m_timer1.Timer().interval() != interval) m_timer1.Timer().setInterval(interval);
  });
}

TEqualizerForm::~TEqualizerForm() {
  if (g_equalizer == this) g_equalizer = nullptr;
}

void TEqualizerForm::UpdateEqualizerControls() {
  ApplyEqualizerSlidersToEngine();
  update();
}
