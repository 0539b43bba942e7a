#include "app/KELDAR_DatabaseForm.h"

#include "app/SkinnedFormColours.h"
#include "skin/KELDARSkinBitmapFonts.h"

TKELDAR_DatabaseForm::TKELDAR_DatabaseForm(QWidget* parent) : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Library, parent) {
  setObjectName("TKELDAR_DatabaseForm");
  setWindowTitle("Library");
  ApplyText(m_text);
}

void TKELDAR_DatabaseForm::ApplyText(const TKELDARSkinTextSettings& text) {
  m_text = text;
  ApplySkinTextToWidget(*DBScrollBox(), text);
  setFont(KELDARSkinTextFont(text));
}
