#include "app/FullScreenControlsForm.h"

TFullScreenControlsForm::TFullScreenControlsForm(QWidget* parent)
    : TSkinUnitTemplateForm(TKELDARSkinnedWindow::FullScreen, parent) {
  setObjectName("TFullScreenControlsForm");
  setWindowTitle("Full Screen Controls");
}
