// The equalizer window: a fixed skinned window (sliders, toggles, level meters, effects).
#pragma once

#include "skin/SkinUnitTemplate.h"

class TEqualizerForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  explicit TEqualizerForm(QWidget* parent = nullptr);
};
