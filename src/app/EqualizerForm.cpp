#include "app/EqualizerForm.h"

TEqualizerForm::TEqualizerForm(QWidget* parent) : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Equalizer, parent) {
  setObjectName("TEqualizerForm");
  setWindowTitle("Equalizer");
}
