// The song library window: the skinned frame with its grid area (the library fills it).
#pragma once

#include "app/WindowTimer.h"
#include "skin/KELDARSkinTextSettings.h"
#include "skin/SkinUnitTemplate.h"

class TKELDAR_DatabaseForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  explicit TKELDAR_DatabaseForm(QWidget* parent = nullptr);
  QWidget* DBScrollBox() const { return ContentArea(); }
  // Colours, font and row height of "DB_Text.ini".
  void ApplyText(const TKELDARSkinTextSettings& text);
  const TKELDARSkinTextSettings& Text() const { return m_text; }

  // The 400 ms timer of the status texts; the library installs its work.
  TWindowTimer& Timer1() { return m_timer1; }
  ~TKELDAR_DatabaseForm() override;

 private:
  TKELDARSkinTextSettings m_text;
  TWindowTimer m_timer1{400};
};

// The library window while it exists, else null.
TKELDAR_DatabaseForm* KELDAR_DatabaseForm();
