#include "app/EqualizerForm.h"

#include "app/DeckController.h"
#include "app/EqualizerWindowData.h"
#include "app/deck.h"

namespace {
TEqualizerForm* g_equalizer = nullptr;
}

TEqualizerForm* EqualizerForm() { return g_equalizer; }

TEqualizerForm::TEqualizerForm(QWidget* parent) : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Equalizer, parent) {
  g_equalizer = this;
  setObjectName("TEqualizerForm");
  setWindowTitle("Equalizer");
  m_timer1.SetWork([this] { EqualizerWindowDataTick(DeckForm(), this); });
}

TEqualizerForm::~TEqualizerForm() {
  if (g_equalizer == this) g_equalizer = nullptr;
}

void TEqualizerForm::UpdateEqualizerControls() {
  ApplyEqualizerSlidersToEngine();
  update();
}
