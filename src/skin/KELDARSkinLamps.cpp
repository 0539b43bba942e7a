#include "skin/KELDARSkinLamps.h"

#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinDisplayState.h"
#include "skin/KELDARSkinStateSheets.h"

namespace {

inline constexpr KELDARSkinControls_IDs kFileTypeLamps[5] = {DeckForm_MP3Button, DeckForm_MODButton, DeckForm_CDButton,
                                                            DeckForm_VIDEOButton, DeckForm_URLButton};

std::int32_t FrameOf(const StringIdentStructure& glyph) {
  const auto state = static_cast<std::int32_t>(glyph.Control_NEWMouseState);
  return state >= 0 && state <= 3 ? state : 3;
}

void Light(KELDARSkinControls_IDs id, bool lit, MultimediaSkinStructure& skin) {
  skin[id].Control_NEWMouseState = lit ? meMouseClicked : meMouseNOTClicked;
}

}  // namespace

void SetKELDARSkinPlayerStateImage(std::int32_t frame, MultimediaSkinStructure& skin) {
  if (frame < 0 || frame > 3) frame = 3;
  StringIdentStructure& glyph = skin[DeckForm_PlayPauseStateImage];
  glyph.Control_NEWMouseState = static_cast<SkinControlMouseEvents>(frame);
  glyph.Control_CurrentValue = frame;
  const KELDARSkinControls_IDs lamp = glyph.Control_Child;
  if (lamp != DeckForm_PlayPauseStateImage && IsKELDARSkinControlOrdinal(static_cast<int>(lamp)) &&
      lamp != Form_NullControl)
    skin[lamp].Control_NEWMouseState = glyph.Control_NEWMouseState;
}

bool PaintKELDARSkinPlayerStateGlyph(QPainter& painter, const MultimediaSkinStructure& skin,
                                     const TKELDARLoadedSkin& loaded) {
  const StringIdentStructure& glyph = skin[DeckForm_PlayPauseStateImage];
  const QImage& strip = loaded.Bitmap(TKELDARSkinBitmap::DeckPlayerState);
  if (strip.isNull() || glyph.Control_Width <= 0 || glyph.Control_Height <= 0) return false;
  const TSkinControlRect at = SkinControlWindowRect(DeckForm_PlayPauseStateImage, skin);
  painter.drawImage(QPoint(at.Left, at.Top), strip,
                    QRect(FrameOf(glyph) * glyph.Control_Width, 0, glyph.Control_Width, glyph.Control_Height));
  return true;
}

bool PaintKELDARSkinTransmissionLamp(QPainter& painter, const MultimediaSkinStructure& skin,
                                     const TKELDARLoadedSkin& loaded) {
  const StringIdentStructure& glyph = skin[DeckForm_PlayPauseStateImage];
  const StringIdentStructure& lamp = skin[DeckForm_TransmissionImage];
  if (lamp.Control_Width <= 0 || lamp.Control_Height <= 0) return false;
  if (FrameOf(glyph) != 0)
    return DrawKELDARSkinControlState(painter, TKELDARSkinnedWindow::Deck, DeckForm_TransmissionImage,
                                      bpNOTActiveBitmap, skin, loaded);
  const QImage& strip = loaded.Bitmap(TKELDARSkinBitmap::DeckPlayerState);
  if (strip.isNull()) return false;
  const TSkinControlRect at = SkinControlWindowRect(DeckForm_TransmissionImage, skin);
  painter.drawImage(QPoint(at.Left, at.Top), strip,
                    QRect(4 * glyph.Control_Width, 0, lamp.Control_Width, lamp.Control_Height));
  return true;
}

void SetKELDARSkinChannelLamps(msMonoStereoState state, MultimediaSkinStructure& skin) {
  Light(DeckForm_MonoButton, state == msMonoOutput || state == msSurroundOutput, skin);
  Light(DeckForm_StereoButton, state == msStereoOutput || state == msSurroundOutput, skin);
}

std::uint8_t KELDARSkinFileTypeLampsLit(std::int32_t code) {
  if (code >= 10 && code <= 14) return static_cast<std::uint8_t>(1u << (code - 10));
  if (code >= 1 && code <= 4) return static_cast<std::uint8_t>((1u << code) - 1);
  if (code == 5 || code == 7 || code == 9) return 0x1F;
  return 0;
}

void SetKELDARSkinFileTypeLampCode(std::int32_t code) { KELDARSkinDisplayState().FileTypeLampCode = code; }
std::int32_t KELDARSkinFileTypeLampCode() { return KELDARSkinDisplayState().FileTypeLampCode; }
void SetKELDARSkinFileTypeLampAnimation(bool on) { KELDARSkinDisplayState().FileTypeLampAnimation = on; }
bool KELDARSkinFileTypeLampAnimation() { return KELDARSkinDisplayState().FileTypeLampAnimation; }

void StepKELDARSkinFileTypeLamps(MultimediaSkinStructure& skin) {
  TKELDARSkinDisplayState& s = KELDARSkinDisplayState();
  const std::uint8_t lit = KELDARSkinFileTypeLampsLit(s.FileTypeLampCode);
  for (int i = 0; i < 5; ++i) Light(kFileTypeLamps[i], (lit >> i) & 1u, skin);
  if (s.FileTypeLampAnimation) s.FileTypeLampCode = s.FileTypeLampCode >= 0 && s.FileTypeLampCode < 9 ? s.FileTypeLampCode + 1 : 0;
}
