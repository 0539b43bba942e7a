// What the skin loader asks of the six skinned windows; the window runtime implements it.
#pragma once
#include <cstdint>
#include <vector>

#include "skin/KELDARSkinControls_IDs.h"
#include "skin/KELDARSkinTextSettings.h"

enum class TKELDARSkinnedWindow : std::uint8_t { Deck, Equalizer, Playlist, Visuals, Library, FullScreen };

struct TKELDARSkinRectangle {
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

struct TKELDARSkinWindowSetup {
  TKELDARSkinnedWindow Window = TKELDARSkinnedWindow::Deck;
  std::int32_t ClientWidth = 0, ClientHeight = 0;  // also the minimum size
  bool Resizable = false;
  std::int32_t ResizeStepX = 0, ResizeStepY = 0;
  KELDARSkinControls_IDs Background = Form_NullControl;
  KELDARSkinControls_IDs TitleBar = Form_NullControl;
  // Resizable windows: content area (scroll box / drawing panel) and the list or grid in it.
  TKELDARSkinRectangle Content;
  TKELDARSkinRectangle List;
};

class IKELDARSkinWindows {
 public:
  virtual ~IKELDARSkinWindows() = default;
  // Before a reload: save positions, sizes, visibility, slider and toggle states; hide.
  virtual void StoreStateAndHide() = 0;
  virtual void ApplyPlaylistText(const TKELDARSkinTextSettings& text) = 0;
  virtual void ApplyLibraryText(const TKELDARSkinTextSettings& text) = 0;
  virtual void Configure(const TKELDARSkinWindowSetup& setup) = 0;
  // After the load: restore state from the settings and repaint all windows.
  virtual void RestoreStateAndRepaint() = 0;
  // Removes any shape; with polygons set, the window gets them (winding fill) and stays at
  // its minimum size, not resizable.
  virtual void SetShape(TKELDARSkinnedWindow window, const TKELDARSkinPolygons* polygons) = 0;
};
