// The control bar shown over full-screen video: transport buttons and a position track.
// It stands centred at the bottom of the screen and goes away when it loses the focus.
#pragma once

#include "skin/SkinUnitTemplate.h"

class TFullScreenControlsForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  explicit TFullScreenControlsForm(QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
};
