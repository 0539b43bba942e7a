#include "app/VisualsScreenForm.h"

#include <QHideEvent>
#include <QPalette>
#include <QShowEvent>

#include "app/VisualsScreenPlugins.h"
#include "app/VisualsScreenVideo.h"
#include "app/deck.h"
#include "skin/KELDARSkinControlAccessors.h"

namespace {
TVisualsScreenForm* g_visuals = nullptr;
}

TVisualsScreenForm* VisualsScreenForm() { return g_visuals; }

TVisualsScreenForm::~TVisualsScreenForm() {
  // No frame may be drawn into a paint box that is gone, and no plug-in outlives its window.
  StopVisualsScreenPlugin();
  if (g_visuals == this) g_visuals = nullptr;
}

TVisualsScreenForm::TVisualsScreenForm(QWidget* parent) : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Visuals, parent) {
  g_visuals = this;
  setObjectName("TVisualsScreenForm");
  setWindowTitle("Visuals");
  QPalette palette = DrawingPanel()->palette();
  palette.setColor(QPalette::Window, Qt::black);
  DrawingPanel()->setPalette(palette);
  m_paintBox = new TVisualsScreenDrawingPaintBox(DrawingPanel());
  m_paintBox->setGeometry(DrawingPanel()->rect());
  InstallVisualsScreenPlugins(*m_paintBox);
  m_timer1.SetWork([this] { Timer1Timer(); });
}

void TVisualsScreenForm::CopyPlaylistFontAndColours(const QWidget& playlistContent) {
  setFont(playlistContent.font());
  QPalette palette = playlistContent.palette();
  palette.setColor(QPalette::Window, Qt::black);  // the drawing panel stays black
  DrawingPanel()->setPalette(palette);
  DrawingPanel()->setFont(playlistContent.font());
}

void TVisualsScreenForm::Timer1Timer() {
  if (!isVisible()) {
    m_timer1.Rest();  // showing wakes it
    return;
  }
  const std::string text = VisualizationText();
  if (GetSkinControlText(VisualsScreenForm_VisExTextWindow) == text &&
      GetSkinControlProcessedText(VisualsScreenForm_VisExTextWindow) == text) {
    // Shown as it is: no wake-up each second for it until the plug-in or the skin changes.
    m_timer1.Rest();
    return;
  }
  SetSkinControlText(VisualsScreenForm_VisExTextWindow, text);
  SetSkinControlProcessedText(VisualsScreenForm_VisExTextWindow, text);
  update();
}

void TVisualsScreenForm::showEvent(QShowEvent* event) {
  TSkinUnitTemplateForm::showEvent(event);
  if (event->spontaneous()) return;  // restored from minimized: the plug-in still runs
  StartVisualsScreenPlugin();
  Timer1Timer();
}

void TVisualsScreenForm::hideEvent(QHideEvent* event) {
  TSkinUnitTemplateForm::hideEvent(event);
  if (event->spontaneous()) return;
  StopVisualsScreenPlugin();
  m_paintBox->ClearFrame();
  if (TDeckForm* deck = DeckForm()) deck->update();  // its visuals button and canvas change
}

void TVisualsScreenForm::ContentAreaChanged() {
  LayOutDrawingPanel();
  m_timer1.Wake();  // a new skin brings its own text display
}

void TVisualsScreenForm::LayOutDrawingPanel() {
  if (!DrawingPanel()) return;
  // The skin places the panel inside its border images; full screen has no border.
  if (CheckIfInFullscreen && DrawingPanel()->geometry() != rect()) DrawingPanel()->setGeometry(rect());
  if (m_paintBox) m_paintBox->setGeometry(DrawingPanel()->rect());
  LayoutSubtitlePanels();
}
