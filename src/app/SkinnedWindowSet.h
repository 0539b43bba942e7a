// The six skinned windows as the skin loader sees them: state kept in the settings across
// a skin change, the new skin's sizes and ids, shapes, and the repaint after the load.
#pragma once

#include <array>

#include "skin/KELDARSkinWindows.h"
#include "skin/SkinUnitTemplate.h"

class TDeckForm;
class TEqualizerForm;
class TPlaylistEditorForm;
class TVisualsScreenForm;
class TKELDAR_DatabaseForm;
class TFullScreenControlsForm;

class TSkinnedWindowSet : public IKELDARSkinWindows {
 public:
  TSkinnedWindowSet(TDeckForm* deck, TEqualizerForm* equalizer, TPlaylistEditorForm* playlist,
                    TVisualsScreenForm* visuals, TKELDAR_DatabaseForm* library, TFullScreenControlsForm* fullScreen);

  TSkinUnitTemplateForm* Window(TKELDARSkinnedWindow window) const;

  // Positions, sizes, visibility, slider values and toggle states into the settings records.
  void CaptureState();
  // At exit: windows hidden, skin bitmaps released, skin not ready.
  void HideAllAndReleaseSkin();

  void StoreStateAndHide() override;
  void ApplyPlaylistText(const TKELDARSkinTextSettings& text) override;
  void ApplyLibraryText(const TKELDARSkinTextSettings& text) override;
  void Configure(const TKELDARSkinWindowSetup& setup) override;
  void RestoreStateAndRepaint() override;
  void SetShape(TKELDARSkinnedWindow window, const TKELDARSkinPolygons* polygons) override;

 private:
  TPlaylistEditorForm* m_playlist;
  TVisualsScreenForm* m_visuals;
  TKELDAR_DatabaseForm* m_library;
  std::array<TSkinUnitTemplateForm*, 6> m_windows;
};
