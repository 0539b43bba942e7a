#include "app/KELDAR_DatabaseForm.h"

#include "app/SkinnedFormColours.h"
#include "skin/KELDARSkinBitmapFonts.h"

namespace {
TKELDAR_DatabaseForm* g_library = nullptr;
}

TKELDAR_DatabaseForm* KELDAR_DatabaseForm() { return g_library; }

TKELDAR_DatabaseForm::~TKELDAR_DatabaseForm() {
  if (g_library == this) g_library = nullptr;
}

TKELDAR_DatabaseForm::TKELDAR_DatabaseForm(QWidget* parent) : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Library, parent) {
  g_library = this;
  setObjectName("TKELDAR_DatabaseForm");
  setWindowTitle("Library");
  ApplyText(m_text);
}

void TKELDAR_DatabaseForm::ApplyText(const TKELDARSkinTextSettings& text) {
  m_text = text;
  ApplySkinTextToWidget(*DBScrollBox(), text);
  setFont(KELDARSkinTextFont(text));
}
