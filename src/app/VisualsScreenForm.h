// The visuals window: the skinned frame around a black drawing panel that video and the
// visualization plug-ins draw into.
#pragma once

#include "app/WindowTimer.h"
#include "skin/SkinUnitTemplate.h"

class TVisualsScreenDrawingPaintBox;

class TVisualsScreenForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  explicit TVisualsScreenForm(QWidget* parent = nullptr);
  QWidget* DrawingPanel() const { return ContentArea(); }
  // The plug-ins' (and later the video's) drawing surface, filling the drawing panel.
  TVisualsScreenDrawingPaintBox* DrawingPaintBox() const { return m_paintBox; }
  // Font and colours follow the playlist window's.
  void CopyPlaylistFontAndColours(const QWidget& playlistContent);

  // The 1000 ms timer; the visuals window's owner installs its work.
  TWindowTimer& Timer1() { return m_timer1; }
  // One tick of Timer1: the visualization text into the window's text display.
  void Timer1Timer();
  ~TVisualsScreenForm() override;

  // Full screen: no border, the drawing panel fills the whole window.
  bool CheckIfInFullscreen = false;
  // Places the drawing panel for the current mode and redoes the subtitle layout.
  void LayOutDrawingPanel();
  // The drawing panel placed again for the current mode (after switching full screen).
  void RestoreDrawingPanel() { PlaceContentArea(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void ContentAreaChanged() override;

 private:
  TWindowTimer m_timer1{1000};
  TVisualsScreenDrawingPaintBox* m_paintBox = nullptr;
};

// The visuals window while it exists, else null.
TVisualsScreenForm* VisualsScreenForm();
