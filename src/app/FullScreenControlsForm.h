// The control bar shown over full-screen video: transport buttons and a position track.
#pragma once

#include "skin/SkinUnitTemplate.h"

class TFullScreenControlsForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  explicit TFullScreenControlsForm(QWidget* parent = nullptr);
};
