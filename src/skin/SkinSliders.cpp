#include "skin/SkinSliders.h"

#include <algorithm>
#include <array>

namespace {
std::array<TSkinSliderReadoutProvider, KELDARSkinControlsCount>& ReadoutProviders() {
  static std::array<TSkinSliderReadoutProvider, KELDARSkinControlsCount> providers;
  return providers;
}
}  // namespace

bool IsSkinSliderTrack(KELDARSkinControls_IDs id, const MultimediaSkinStructure& skin) {
  return IsKELDARSkinControlOrdinal(id) && skin[id].Control_Type == KELDARSkinSliderControl;
}

bool IsSkinPositionTrack(KELDARSkinControls_IDs id) {
  return id == DeckForm_PosBarImage || id == FullScreenForm_FSPosBarImage;
}

std::int32_t SkinSliderValueFromPoint(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin) {
  if (!IsKELDARSkinControlOrdinal(track)) return 0;
  const StringIdentStructure& c = skin[track];
  const TSkinControlRect r = SkinControlWindowRect(track, skin);
  const bool vertical = c.Control_Direction;
  const std::int32_t origin = vertical ? r.Top : r.Left;
  const std::int32_t length = vertical ? r.Height : r.Width;
  if (length <= 0) return 0;
  std::int32_t p = vertical ? c.Control_NEWY : c.Control_NEWX;
  if (p < origin + 2) p = origin;
  if (p > origin + length - 2) p = origin + length;
  const std::int32_t share = SkinRoundHalfEven(100.0 * (p - origin) / length);
  return std::clamp<std::int32_t>(vertical ? 100 - share : share, 0, 100);
}

std::int32_t SkinSliderFrameIndex(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin) {
  if (!IsKELDARSkinControlOrdinal(track)) return 0;
  const StringIdentStructure& c = skin[track];
  const TSkinControlRect r = SkinControlWindowRect(track, skin);
  const std::int32_t last = std::max<std::int32_t>(1, c.Control_NumberOfImages) - 1;
  if (c.Control_Direction) {
    if (r.Height <= 0) return 0;
    const std::int32_t p = std::clamp(c.Control_NEWY - r.Top, 0, r.Height);
    return last - SkinRoundHalfEven(static_cast<double>(p) * last / r.Height);
  }
  if (r.Width <= 0) return 0;
  const std::int32_t p = std::clamp(c.Control_NEWX - r.Left, 0, r.Width);
  return SkinRoundHalfEven(static_cast<double>(p) * last / r.Width);
}

TSkinControlRect SkinSliderKnobRect(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin) {
  if (!IsKELDARSkinControlOrdinal(track)) return {};
  const StringIdentStructure& c = skin[track];
  const KELDARSkinControls_IDs knobId = c.Control_Child;
  if (!IsKELDARSkinControlOrdinal(knobId) || knobId == track) return {};
  const StringIdentStructure& knob = skin[knobId];
  const TSkinControlRect r = SkinControlWindowRect(track, skin);
  TSkinControlRect k{0, 0, knob.Control_Width, knob.Control_Height};
  if (c.Control_Direction) {
    k.Left = r.Left + knob.Control_Left;
    k.Top = std::clamp(c.Control_NEWY - k.Height / 2, r.Top, std::max(r.Top, r.Top + r.Height - k.Height));
  } else {
    k.Top = r.Top + knob.Control_Top;
    k.Left = std::clamp(c.Control_NEWX - k.Width / 2, r.Left, std::max(r.Left, r.Left + r.Width - k.Width));
  }
  return k;
}

std::string SkinSliderReadout(KELDARSkinControls_IDs track, const MultimediaSkinStructure& skin) {
  if (!IsKELDARSkinControlOrdinal(track)) return {};
  const std::int32_t v = skin[track].Control_CurrentValue;
  switch (track) {
    case DeckForm_PosBarImage: return std::to_string(v) + "%";
    case FullScreenForm_FSPosBarImage: return {};
    case PlayListEditorForm_PLScrollImage: return "PL File: " + std::to_string(v) + "%";
    case CDDatabaseForm_DBScrollImage: return "DB File: " + std::to_string(v) + "%";
    default: break;
  }
  const TSkinSliderReadoutProvider& provider = ReadoutProviders()[track];
  return provider ? provider(v) : std::string();
}

void SetSkinSliderReadoutProvider(KELDARSkinControls_IDs track, TSkinSliderReadoutProvider provider) {
  if (IsKELDARSkinControlOrdinal(track)) ReadoutProviders()[track] = std::move(provider);
}
