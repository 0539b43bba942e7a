#include "skin/KELDARSkinBitmapLayout.h"

#include <algorithm>
#include <cctype>

namespace {

const std::array<const char*, KELDARSkinBitmapCount> kFileNames = {
    "Deck_BackgroundImageNOTActive.bmp",
    "Deck_BackgroundImagePressed1.bmp",
    "Deck_BackgroundImagePressed2.bmp",
    "Deck_BackgroundImageActive.bmp",
    "Deck_VolumeBar.bmp",
    "Deck_BalanceBar.bmp",
    "Deck_PitchBar.bmp",
    "Deck_PositionBar.bmp",
    "Deck_VolumeBarMask.bmp",
    "Deck_PitchBarMask.bmp",
    "Deck_PositionBarMask.bmp",
    "Deck_PlayerState.bmp",
    "Deck_FontSmall.bmp",
    "Deck_Numbers.bmp",
    "Equalizer_BackgroundImageNOTActive.bmp",
    "Equalizer_BackgroundImagePressed1.bmp",
    "Equalizer_BackgroundImagePressed2.bmp",
    "Equalizer_BackgroundImageActive.bmp",
    "Equalizer_BandBar.bmp",
    "Equalizer_VolLevelVisuals.bmp",
    "Equalizer_FFTVisuals.bmp",
    "Playlist_ListBoxImage.bmp",
    "Playlist_BackgroundImage.bmp",
    "VisualsScreen_BackgroundImage.bmp",
    "DB_BackgroundImage.bmp",
    "FullScreen_BackgroundImageNOTActive.bmp",
    "FullScreen_BackgroundImageActive.bmp",
    "FullScreen_PositionBar.bmp",
};

const StringIdentStructure& At(const MultimediaSkinStructure& skin, KELDARSkinControls_IDs id) { return skin[id]; }

// The knob of a track is the control whose parent is the track (the catalogue gives every
// track exactly one).
KELDARSkinControls_IDs KnobOf(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin) {
  for (int i = 1; i < static_cast<int>(KELDARSkinControlsCount) - 1; ++i) {
    const auto id = static_cast<KELDARSkinControls_IDs>(i);
    if (id != track && skin[id].Control_ParentControl == track) return id;
  }
  return Form_NullControl;
}

std::int32_t FrameCount(const StringIdentStructure& c) { return std::max<std::int32_t>(1, c.Control_NumberOfImages); }
std::int32_t NonNeg(std::int32_t v) { return std::max<std::int32_t>(0, v); }

}  // namespace

const char* KELDARSkinBitmapFileName(TKELDARSkinBitmap bitmap) {
  return kFileNames[static_cast<std::size_t>(bitmap)];
}

std::string KELDARSkinResourceName(const std::string& fileName) {
  std::string base = fileName.substr(0, fileName.rfind('.'));
  for (char& ch : base) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return base;
}

bool IsKELDARSkinMaskBitmap(TKELDARSkinBitmap bitmap) {
  return bitmap == TKELDARSkinBitmap::DeckVolumeBarMask || bitmap == TKELDARSkinBitmap::DeckPitchBarMask ||
         bitmap == TKELDARSkinBitmap::DeckPositionBarMask;
}

bool KELDARSkinSmallFontCell(unsigned char c, std::int32_t& column, std::int32_t& row) {
  if (c <= 31) { column = 0; row = 0; }
  else if (c <= 64) { column = c - 32; row = 0; }
  else if (c <= 90) { column = c - 65; row = 1; }
  else if (c <= 96) { column = c - 91; row = 2; }
  else if (c <= 122) { column = c - 97; row = 3; }
  else if (c <= 126) { column = c - 123; row = 4; }
  else return false;
  return true;
}

TSkinPixelPoint SliderStripFramePosition(KELDARSkinControls_IDs track, std::int32_t frame,
                                         const MultimediaSkinStructure& skin) {
  const auto& t = At(skin, track);
  if (t.Control_Direction) return {frame * (NonNeg(t.Control_Width) + 1), 0};
  return {0, frame * (NonNeg(t.Control_Height) + 1)};
}

TSkinPixelPoint SliderStripKnobPosition(KELDARSkinControls_IDs track, std::int32_t knob,
                                        const MultimediaSkinStructure& skin) {
  const auto& t = At(skin, track);
  const auto& k = At(skin, KnobOf(track, skin));
  const TSkinPixelPoint afterFrames = SliderStripFramePosition(track, FrameCount(t), skin);
  if (t.Control_Direction) return {afterFrames.X + knob * (NonNeg(k.Control_Width) + 1), 0};
  return {0, afterFrames.Y + knob * (NonNeg(k.Control_Height) + 1)};
}

TSkinPixelSize SliderStripSize(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin) {
  const auto& t = At(skin, track);
  const auto& k = At(skin, KnobOf(track, skin));
  const TSkinPixelPoint end = SliderStripKnobPosition(track, 1, skin);
  if (t.Control_Direction)
    return {end.X + NonNeg(k.Control_Width), std::max(NonNeg(t.Control_Height), NonNeg(k.Control_Height))};
  return {std::max(NonNeg(t.Control_Width), NonNeg(k.Control_Width)), end.Y + NonNeg(k.Control_Height)};
}

KELDARSkinControls_IDs PlaylistPanelButton(std::int32_t row, std::int32_t panel) {
  // Each panel lists its buttons bottom, middle, top (ids grow upwards).
  const int first = PlayListEditorForm_PLAddFilesButton + (panel - 1) * 3;
  return static_cast<KELDARSkinControls_IDs>(first + (2 - row));
}

TResizableSheetLayout ResizableSheetLayout(KELDARSkinControls_IDs background, const MultimediaSkinStructure& skin) {
  // The frame pieces follow the background in a fixed order in all three windows.
  const int b = background;
  const auto id = [b](int offset) { return static_cast<KELDARSkinControls_IDs>(b + offset); };
  const auto& TL = At(skin, id(1));
  const auto& TR = At(skin, id(2));
  const auto& TH = At(skin, id(3));
  const auto& TM = At(skin, id(4));
  const auto& VL = At(skin, id(5));
  const auto& VR = At(skin, id(6));
  const auto& BL = At(skin, id(7));
  const auto& BR = At(skin, id(8));
  const auto& BX = At(skin, id(9));
  TResizableSheetLayout l;
  const bool playlist = background == PlayListEditorForm_PLMainImage;
  const bool library = background == CDDatabaseForm_DBMainImage;

  l.TitleLeftX = 0;
  l.TitleMainX = NonNeg(TL.Control_Width) + 1;
  l.TitleHorizontalX = l.TitleMainX + NonNeg(TM.Control_Width) + 1;
  l.TitleRightX = l.TitleHorizontalX + NonNeg(TH.Control_Width) + 1;
  std::int32_t x = l.TitleRightX + NonNeg(TR.Control_Width) + 1;
  std::int32_t width = x - 1;
  std::array<KELDARSkinControls_IDs, 4> buttons{id(10), id(11), PlayListEditorForm_PLListScrollUpButton,
                                                PlayListEditorForm_PLListScrollDownButton};
  l.WindowButtonCount = playlist ? 4 : 2;
  std::int32_t rowAHeight = NonNeg(TL.Control_Height);
  for (int i = 0; i < l.WindowButtonCount; ++i) {
    const auto& btn = At(skin, buttons[i]);
    l.WindowButtonX[i] = x;
    x += NonNeg(btn.Control_Width) + 1;
    width = std::max(width, x - 1);
    rowAHeight = std::max(rowAHeight, 2 * NonNeg(btn.Control_Height) + 1);
  }
  (void)rowAHeight;  // the pressed buttons sit inside the title rows in every built-in catalogue
  l.RowA = 0;
  l.RowB = NonNeg(TL.Control_Height) + 1;
  l.RowC = 2 * NonNeg(TL.Control_Height) + 2;
  l.RowD = 2 * NonNeg(TL.Control_Height) + NonNeg(VL.Control_Height) + 3;
  l.RowE = 2 * NonNeg(TL.Control_Height) + NonNeg(VL.Control_Height) + NonNeg(BL.Control_Height) + 4;
  std::int32_t height = l.RowE - 1;

  l.VerticalLeftX = 0;
  l.VerticalRightX = NonNeg(VL.Control_Width) + 1;
  std::int32_t rowCEnd = l.VerticalRightX + NonNeg(VR.Control_Width);
  std::int32_t rowCHeight = std::max(NonNeg(VL.Control_Height), NonNeg(VR.Control_Height));
  if (playlist || library) {
    const auto knob = playlist ? PlayListEditorForm_PLScrollButton : CDDatabaseForm_DBScrollButton;
    const auto& k = At(skin, knob);
    l.HasScrollKnob = true;
    l.ScrollKnobX = rowCEnd + 1;
    rowCEnd = l.ScrollKnobX + 2 * NonNeg(k.Control_Width) + 1;
    rowCHeight = std::max(rowCHeight, NonNeg(k.Control_Height));
  }
  (void)rowCHeight;
  width = std::max(width, rowCEnd);

  l.BottomLeftX = 0;
  l.BottomExtraX = NonNeg(BL.Control_Width) + 1;
  l.BottomRightX = l.BottomExtraX + NonNeg(BX.Control_Width) + 1;
  width = std::max(width, l.BottomRightX + NonNeg(BR.Control_Width));

  if (playlist || library) {
    l.HasMenus = true;
    const int firstMenu = playlist ? PlayListEditorForm_PLMenu1Buttons : CDDatabaseForm_DBMenu1Buttons;
    std::int32_t mx = 0, mh = 0;
    for (int k = 0; k < 5; ++k) {
      const auto& m = At(skin, static_cast<KELDARSkinControls_IDs>(firstMenu + k));
      l.MenuX[k] = mx;
      mx += 2 * NonNeg(m.Control_Width) + 2;
      mh = std::max(mh, NonNeg(m.Control_Height));
    }
    width = std::max(width, mx - 1);
    height = l.RowE + mh;
    if (playlist) {
      l.HasPanels = true;
      std::int32_t y = l.RowE + mh + 1;
      std::array<std::int32_t*, 3> rows{&l.RowF, &l.RowG, &l.RowH};
      for (int r = 0; r < 3; ++r) {
        *rows[r] = y;
        std::int32_t px = 0, ph = 0;
        for (int k = 0; k < 5; ++k) {
          const auto& p = At(skin, PlaylistPanelButton(r, k + 1));
          l.PanelX[r][k] = px;
          px += 2 * NonNeg(p.Control_Width) + 2;
          ph = std::max(ph, NonNeg(p.Control_Height));
        }
        width = std::max(width, px - 1);
        y += ph + 1;
      }
      height = y - 1;
    }
  }
  l.Size = {width, height};
  return l;
}

TSkinPixelSize FFTVisualsSize(const MultimediaSkinStructure& skin) {
  const auto& bands = At(skin, EqualizerForm_EQFFT10VisualEffects);
  const auto& preamp = At(skin, EqualizerForm_EQDiagramPreAmpLine);
  const auto& canvas = At(skin, skin[EqualizerForm_EQFFT128VisualEffects].Control_ParentControl);
  const std::int32_t framesWidth = FrameCount(bands) * NonNeg(bands.Control_Width);
  // Six columns after the frames hold the two colour columns (at W-5 and W-3).
  const std::int32_t width = std::max(framesWidth, NonNeg(preamp.Control_Width)) + 6;
  const std::int32_t height = std::max(NonNeg(canvas.Control_Height),
                                       NonNeg(bands.Control_Height) + 1 + NonNeg(preamp.Control_Height));
  return {width, height};
}

TSkinPixelSize ExpectedKELDARSkinBitmapSize(TKELDARSkinBitmap bitmap, const MultimediaSkinStructure& skin) {
  const auto sizeOf = [&](KELDARSkinControls_IDs id) {
    return TSkinPixelSize{NonNeg(skin[id].Control_Width), NonNeg(skin[id].Control_Height)};
  };
  switch (bitmap) {
    case TKELDARSkinBitmap::DeckNotActive:
    case TKELDARSkinBitmap::DeckPressed1:
    case TKELDARSkinBitmap::DeckPressed2:
    case TKELDARSkinBitmap::DeckActive: return sizeOf(DeckForm_MainImage);
    case TKELDARSkinBitmap::DeckVolumeBar:
    case TKELDARSkinBitmap::DeckVolumeBarMask: return SliderStripSize(DeckForm_VolumeImage, skin);
    case TKELDARSkinBitmap::DeckBalanceBar: return SliderStripSize(DeckForm_BalanceImage, skin);
    case TKELDARSkinBitmap::DeckPitchBar:
    case TKELDARSkinBitmap::DeckPitchBarMask: return SliderStripSize(DeckForm_PitchImage, skin);
    case TKELDARSkinBitmap::DeckPositionBar:
    case TKELDARSkinBitmap::DeckPositionBarMask: return SliderStripSize(DeckForm_PosBarImage, skin);
    case TKELDARSkinBitmap::DeckPlayerState: {
      const auto g = sizeOf(DeckForm_PlayPauseStateImage);
      const auto lamp = sizeOf(DeckForm_TransmissionImage);
      return {4 * g.Width + lamp.Width, std::max(g.Height, lamp.Height)};
    }
    case TKELDARSkinBitmap::DeckFontSmall: {
      const auto c = sizeOf(DeckForm_FontSmall);
      return {KELDARSkinSmallFontColumns * c.Width, KELDARSkinSmallFontRows * c.Height};
    }
    case TKELDARSkinBitmap::DeckNumbers: {
      const auto c = sizeOf(DeckForm_NumbersFont);
      return {KELDARSkinNumbersGlyphs * c.Width, c.Height};
    }
    case TKELDARSkinBitmap::EqualizerNotActive:
    case TKELDARSkinBitmap::EqualizerPressed1:
    case TKELDARSkinBitmap::EqualizerPressed2:
    case TKELDARSkinBitmap::EqualizerActive: return sizeOf(EqualizerForm_EQMainImage);
    case TKELDARSkinBitmap::EqualizerBandBar: return SliderStripSize(EqualizerForm_EQPreAmpImage, skin);
    case TKELDARSkinBitmap::EqualizerVolLevelVisuals: {
      const auto& m = skin[EqualizerForm_EQLeftVolLevelCanvas];
      const auto s = sizeOf(EqualizerForm_EQLeftVolLevelCanvas);
      if (m.Control_Direction) return {FrameCount(m) * s.Width, s.Height};
      return {s.Width, FrameCount(m) * s.Height};
    }
    case TKELDARSkinBitmap::EqualizerFFTVisuals: return FFTVisualsSize(skin);
    case TKELDARSkinBitmap::PlaylistListBoxImage: return {256, 256};
    case TKELDARSkinBitmap::PlaylistBackground: return ResizableSheetLayout(PlayListEditorForm_PLMainImage, skin).Size;
    case TKELDARSkinBitmap::VisualsScreenBackground:
      return ResizableSheetLayout(VisualsScreenForm_VisExMainImage, skin).Size;
    case TKELDARSkinBitmap::DBBackground: return ResizableSheetLayout(CDDatabaseForm_DBMainImage, skin).Size;
    case TKELDARSkinBitmap::FullScreenNotActive:
    case TKELDARSkinBitmap::FullScreenActive: return sizeOf(FullScreenForm_FSMainImage);
    case TKELDARSkinBitmap::FullScreenPositionBar: return SliderStripSize(FullScreenForm_FSPosBarImage, skin);
  }
  return {};
}
