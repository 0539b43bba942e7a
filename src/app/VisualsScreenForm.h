// The visuals window: the skinned frame around a black drawing panel that video and the
// visualization plug-ins draw into.
#pragma once

#include "app/WindowTimer.h"
#include "skin/SkinUnitTemplate.h"

class TVisualsScreenForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  explicit TVisualsScreenForm(QWidget* parent = nullptr);
  QWidget* DrawingPanel() const { return ContentArea(); }
  // Font and colours follow the playlist window's.
  void CopyPlaylistFontAndColours(const QWidget& playlistContent);

  // The 1000 ms timer; the visuals window's owner installs its work.
  TWindowTimer& Timer1() { return m_timer1; }
  ~TVisualsScreenForm() override;

 private:
  TWindowTimer m_timer1{1000};
};

// The visuals window while it exists, else null.
TVisualsScreenForm* VisualsScreenForm();
