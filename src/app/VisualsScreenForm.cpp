#include "app/VisualsScreenForm.h"

#include <QPalette>

namespace {
TVisualsScreenForm* g_visuals = nullptr;
}

TVisualsScreenForm* VisualsScreenForm() { return g_visuals; }

TVisualsScreenForm::~TVisualsScreenForm() {
  if (g_visuals == this) g_visuals = nullptr;
}

TVisualsScreenForm::TVisualsScreenForm(QWidget* parent) : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Visuals, parent) {
  g_visuals = this;
  setObjectName("TVisualsScreenForm");
  setWindowTitle("Visuals");
  QPalette palette = DrawingPanel()->palette();
  palette.setColor(QPalette::Window, Qt::black);
  DrawingPanel()->setPalette(palette);
}

void TVisualsScreenForm::CopyPlaylistFontAndColours(const QWidget& playlistContent) {
  setFont(playlistContent.font());
  QPalette palette = playlistContent.palette();
  palette.setColor(QPalette::Window, Qt::black);  // the drawing panel stays black
  DrawingPanel()->setPalette(palette);
  DrawingPanel()->setFont(playlistContent.font());
}
