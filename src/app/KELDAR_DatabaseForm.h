// The song library window: the skinned frame with its grid area (the library fills it).
#pragma once

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

 private:
  TKELDARSkinTextSettings m_text;
};
