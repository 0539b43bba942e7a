#include "skin/SkinPaintPass.h"

#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinDisplays.h"
#include "skin/KELDARSkinStateSheets.h"
#include "skin/SkinImageChoice.h"
#include "skin/SkinMaskSliders.h"
#include "skin/SkinResizableFrame.h"
#include "skin/SkinSliders.h"

namespace {

const QImage* StripOfTrack(KELDARSkinControls_IDs track, const TKELDARLoadedSkin& loaded) {
  TKELDARSkinBitmap b;
  switch (track) {
    case DeckForm_VolumeImage: b = TKELDARSkinBitmap::DeckVolumeBar; break;
    case DeckForm_BalanceImage: b = TKELDARSkinBitmap::DeckBalanceBar; break;
    case DeckForm_PitchImage: b = TKELDARSkinBitmap::DeckPitchBar; break;
    case DeckForm_PosBarImage: b = TKELDARSkinBitmap::DeckPositionBar; break;
    case FullScreenForm_FSPosBarImage: b = TKELDARSkinBitmap::FullScreenPositionBar; break;
    default:
      if (track >= EqualizerForm_EQTempoImage && track <= EqualizerForm_EQBand10Image) {
        b = TKELDARSkinBitmap::EqualizerBandBar;
        break;
      }
      return nullptr;
  }
  const QImage& image = loaded.Bitmap(b);
  return image.isNull() ? nullptr : &image;
}

KELDARSkinControls_IDs BackgroundOfTrack(KELDARSkinControls_IDs track) {
  if (track == PlayListEditorForm_PLScrollImage) return PlayListEditorForm_PLMainImage;
  if (track == CDDatabaseForm_DBScrollImage) return CDDatabaseForm_DBMainImage;
  return Form_NullControl;
}

void PaintTiledTrack(QPainter& painter, KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin,
                     const TKELDARLoadedSkin& loaded) {
  const KELDARSkinControls_IDs background = BackgroundOfTrack(track);
  const QImage& sheet = loaded.Bitmap(background == PlayListEditorForm_PLMainImage ? TKELDARSkinBitmap::PlaylistBackground
                                                                                   : TKELDARSkinBitmap::DBBackground);
  if (background == Form_NullControl || sheet.isNull()) return;
  const StringIdentStructure& c = skin[track];
  const StringIdentStructure& tile = skin[c.Control_Tile];
  const TSkinControlRect r = SkinControlWindowRect(track, skin);
  const TResizableSheetLayout l = ResizableSheetLayout(background, skin);
  if (tile.Control_Height > 0)
    for (int i = 0; i < r.Height / tile.Control_Height; ++i)
      painter.drawImage(QPoint(r.Left, r.Top + i * tile.Control_Height), sheet,
                        QRect(l.VerticalRightX, l.RowC, tile.Control_Width, tile.Control_Height));
  const KELDARSkinControls_IDs knob = c.Control_Child;
  if (!l.HasScrollKnob || knob == track || !skin[knob].Control_Enabled) return;
  const TSkinControlRect k = SkinSliderKnobRect(track, skin);
  const bool pressed = c.Control_NEWMouseState == meMouseDown;
  painter.drawImage(QPoint(k.Left, k.Top), sheet,
                    QRect(l.ScrollKnobX + (pressed ? 0 : k.Width + 1), l.RowC, k.Width, k.Height));
}

void PaintSpriteButton(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs id,
                       const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  const QImage* sheet = KELDARSkinResizableSheet(window, loaded);
  if (!sheet) return;
  TSkinPixelPoint source;
  if (!ResizableWindowButtonSprite(KELDARSkinWindowBackground(window), id, IsSkinButtonShownPressed(skin[id]), skin,
                                   source))
    return;
  const TSkinControlRect r = SkinControlWindowRect(id, skin);
  painter.drawImage(QPoint(r.Left, r.Top), *sheet, QRect(source.X, source.Y, r.Width, r.Height));
}

void PaintFrame(QPainter& painter, TKELDARSkinnedWindow window, int width, int height, MultimediaSkinStructure& skin,
                const TKELDARLoadedSkin& loaded) {
  const KELDARSkinControls_IDs background = KELDARSkinWindowBackground(window);
  const QImage* sheet = KELDARSkinResizableSheet(window, loaded);
  if (sheet) {
    const TSkinResizableFramePlan plan = PlanKELDARSkinResizableFrame(background, width, height, skin);
    for (const TSkinSpriteBlit& b : plan.Blits)
      painter.drawImage(QPoint(b.Target.X, b.Target.Y), *sheet, QRect(b.Source.X, b.Source.Y, b.Size.Width, b.Size.Height));
  }
  StoreKELDARSkinResizableFramePositions(background, width, height, skin);
}

bool IsPanelChild(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin) {
  const KELDARSkinControls_IDs parent = skin[id].Control_ParentControl;
  return parent != id && IsKELDARSkinControlOrdinal(parent) && skin[parent].Control_Type == KELDARSkinPanelControl;
}

}  // namespace

bool TakeSkinControlPaintKey(KELDARSkinControls_IDs id, TSkinControlPaintKey& key, const MultimediaSkinStructure& skin) {
  const StringIdentStructure& c = skin[id];
  const TSkinControlRect r = SkinControlWindowRect(id, skin);
  // The transmission lamp is drawn from the player-state glyph's frame.
  const std::int32_t related =
      id == DeckForm_TransmissionImage ? static_cast<std::int32_t>(skin[DeckForm_PlayPauseStateImage].Control_NEWMouseState) : 0;
  const auto state = static_cast<std::int32_t>(c.Control_NEWMouseState);
  const auto clicked = static_cast<std::int32_t>(c.Control_CLICKEDMouseState);
  if (key.Enabled == c.Control_Enabled && key.State == state && key.Clicked == clicked &&
      key.Value == c.Control_CurrentValue && key.Images == c.Control_NumberOfImages && key.Left == r.Left &&
      key.Top == r.Top && key.Width == r.Width && key.Height == r.Height && key.Related == related &&
      key.Text == c.Control_ProcessedTextString)
    return false;
  key.Enabled = c.Control_Enabled;
  key.State = state;
  key.Clicked = clicked;
  key.Value = c.Control_CurrentValue;
  key.Images = c.Control_NumberOfImages;
  key.Left = r.Left;
  key.Top = r.Top;
  key.Width = r.Width;
  key.Height = r.Height;
  key.Related = related;
  key.Text = c.Control_ProcessedTextString;  // reuses the key's storage
  return true;
}

bool IsKELDARSkinResizableWindow(TKELDARSkinnedWindow window) {
  return window == TKELDARSkinnedWindow::Playlist || window == TKELDARSkinnedWindow::Visuals ||
         window == TKELDARSkinnedWindow::Library;
}

KELDARSkinControls_IDs KELDARSkinWindowBackground(TKELDARSkinnedWindow window) {
  switch (window) {
    case TKELDARSkinnedWindow::Deck: return DeckForm_MainImage;
    case TKELDARSkinnedWindow::Equalizer: return EqualizerForm_EQMainImage;
    case TKELDARSkinnedWindow::Playlist: return PlayListEditorForm_PLMainImage;
    case TKELDARSkinnedWindow::Visuals: return VisualsScreenForm_VisExMainImage;
    case TKELDARSkinnedWindow::Library: return CDDatabaseForm_DBMainImage;
    case TKELDARSkinnedWindow::FullScreen: return FullScreenForm_FSMainImage;
  }
  return Form_NullControl;
}

const QImage* KELDARSkinResizableSheet(TKELDARSkinnedWindow window, const TKELDARLoadedSkin& loaded) {
  const QImage* sheet = nullptr;
  if (window == TKELDARSkinnedWindow::Playlist) sheet = &loaded.Bitmap(TKELDARSkinBitmap::PlaylistBackground);
  if (window == TKELDARSkinnedWindow::Visuals) sheet = &loaded.Bitmap(TKELDARSkinBitmap::VisualsScreenBackground);
  if (window == TKELDARSkinnedWindow::Library) sheet = &loaded.Bitmap(TKELDARSkinBitmap::DBBackground);
  return sheet && !sheet->isNull() ? sheet : nullptr;
}

void PaintKELDARSkinSlider(QPainter& painter, TKELDARSkinnedWindow, KELDARSkinControls_IDs track,
                           const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  const StringIdentStructure& c = skin[track];
  if (loaded.UsesMasks && IsMaskSlider(track)) {
    PaintKELDARSkinMaskSlider(painter, track, skin, loaded);
    return;
  }
  if (c.Control_Tile != Form_NullControl) {
    PaintTiledTrack(painter, track, skin, loaded);
    return;
  }
  const QImage* strip = StripOfTrack(track, loaded);
  if (!strip) return;
  const TSkinControlRect r = SkinControlWindowRect(track, skin);
  const TSkinPixelPoint frame = SliderStripFramePosition(track, SkinSliderFrameIndex(track, skin), skin);
  painter.drawImage(QPoint(r.Left, r.Top), *strip, QRect(frame.X, frame.Y, r.Width, r.Height));
  const KELDARSkinControls_IDs knob = c.Control_Child;
  if (knob == track || !IsKELDARSkinControlOrdinal(knob) || !skin[knob].Control_Enabled) return;
  const TSkinControlRect k = SkinSliderKnobRect(track, skin);
  const TSkinPixelPoint image = SliderStripKnobPosition(track, c.Control_NEWMouseState == meMouseDown ? 0 : 1, skin);
  painter.drawImage(QPoint(k.Left, k.Top), *strip, QRect(image.X, image.Y, k.Width, k.Height));
}

void PaintKELDARSkinStateControl(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs id,
                                 const MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  if (IsKELDARSkinResizableWindow(window)) {
    PaintSpriteButton(painter, window, id, skin, loaded);
    return;
  }
  DrawKELDARSkinControlState(painter, window, id, SkinControlImage(skin[id]), skin, loaded);
}

namespace {

// `part`: when given, controls other than the background that do not meet it are left out.
void PaintControls(QPainter& painter, TKELDARSkinnedWindow window, const Form_ControlsList& controls, int width,
                   int height, MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded, const QRegion* part) {
  for (int i = 1; i <= Form_NullControl; ++i) {
    if (!controls.test(static_cast<std::size_t>(i))) continue;
    const auto id = static_cast<KELDARSkinControls_IDs>(i);
    const StringIdentStructure& c = skin[id];
    if (!c.Control_Enabled || IsPanelChild(id, skin)) continue;
    if (part && c.Control_Type != KELDARSkinMainImageControl && c.Control_Type != KELDARSkinMainImageResizableControl) {
      const TSkinControlRect r = SkinControlWindowRect(id, skin);
      if (!part->intersects(QRect(r.Left, r.Top, r.Width, r.Height))) continue;
    }
    switch (c.Control_Type) {
      case KELDARSkinMainImageControl:
        DrawKELDARSkinControlState(painter, window, id, bpNOTActiveBitmap, skin, loaded);
        break;
      case KELDARSkinMainImageResizableControl: PaintFrame(painter, window, width, height, skin, loaded); break;
      case KELDARSkinSliderControl: PaintKELDARSkinSlider(painter, window, id, skin, loaded); break;
      case KELDARSkinResizableBorderControl:
      case KELDARSkinSliderButtonControl:
      case KELDARSkinAssistantControl:
      case KELDARSkinPanelControl:
      case KELDARSkinMarkStartAndEndControl:
      case KELDARSkinEmptyControl: break;
      case KELDARSkinTitleBarControl:
      case KELDARSkinAppButtonControl:
      case KELDARSkinButtonControl:
      case KELDARSkinButtonToggleControl:
      case KELDARSkinDigitalDisplayGlyphControl:
      case KELDARSkinResizableFormButtonOfControl:
      case KELDARSkinDigitalDisplayEffects:
        if (!PaintKELDARSkinDisplayControl(painter, window, id)) PaintKELDARSkinStateControl(painter, window, id, skin, loaded);
        break;
      default: PaintKELDARSkinDisplayControl(painter, window, id); break;
    }
  }
}

}  // namespace

void PaintKELDARSkinWindow(QPainter& painter, TKELDARSkinnedWindow window, const Form_ControlsList& controls, int width,
                           int height, MultimediaSkinStructure& skin, const TKELDARLoadedSkin& loaded) {
  PaintControls(painter, window, controls, width, height, skin, loaded, nullptr);
}

void PaintKELDARSkinWindowPart(QPainter& painter, TKELDARSkinnedWindow window, const Form_ControlsList& controls,
                               int width, int height, const QRegion& part, MultimediaSkinStructure& skin,
                               const TKELDARLoadedSkin& loaded) {
  if (IsKELDARSkinResizableWindow(window)) {
    // Resizable windows lay out their frame on the way: always the whole pass.
    PaintControls(painter, window, controls, width, height, skin, loaded, nullptr);
    return;
  }
  PaintControls(painter, window, controls, width, height, skin, loaded, &part);
}
