// The visuals window: the skinned frame around a black drawing panel that video and the
// visualization plug-ins draw into.
#pragma once

#include "skin/SkinUnitTemplate.h"

class TVisualsScreenForm : public TSkinUnitTemplateForm {
  Q_OBJECT
 public:
  explicit TVisualsScreenForm(QWidget* parent = nullptr);
  QWidget* DrawingPanel() const { return ContentArea(); }
  // Font and colours follow the playlist window's.
  void CopyPlaylistFontAndColours(const QWidget& playlistContent);
};
