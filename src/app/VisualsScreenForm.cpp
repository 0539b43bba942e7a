#include "app/VisualsScreenForm.h"

#include <QPalette>

TVisualsScreenForm::TVisualsScreenForm(QWidget* parent) : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Visuals, parent) {
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
