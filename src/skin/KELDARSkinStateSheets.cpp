#include "skin/KELDARSkinStateSheets.h"

#include "skin/KELDARSkinControlAccessors.h"

const QImage* KELDARSkinStateSheet(TKELDARSkinnedWindow window, BitmapPurposeStates role,
                                   const TKELDARLoadedSkin& loaded) {
  if (role > bpActiveBitmap) return nullptr;
  const auto offset = static_cast<std::uint8_t>(role);
  const QImage* sheet = nullptr;
  switch (window) {
    case TKELDARSkinnedWindow::Deck:
      sheet = &loaded.Bitmaps[static_cast<std::size_t>(TKELDARSkinBitmap::DeckNotActive) + offset];
      break;
    case TKELDARSkinnedWindow::Equalizer:
      sheet = &loaded.Bitmaps[static_cast<std::size_t>(TKELDARSkinBitmap::EqualizerNotActive) + offset];
      break;
    case TKELDARSkinnedWindow::FullScreen:
      if (role == bpNOTActiveBitmap) sheet = &loaded.Bitmap(TKELDARSkinBitmap::FullScreenNotActive);
      if (role == bpActiveBitmap) sheet = &loaded.Bitmap(TKELDARSkinBitmap::FullScreenActive);
      break;
    default:
      break;
  }
  return sheet && !sheet->isNull() ? sheet : nullptr;
}

bool DrawKELDARSkinControlState(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs id,
                                BitmapPurposeStates wanted, const MultimediaSkinStructure& skin,
                                const TKELDARLoadedSkin& loaded) {
  if (!IsKELDARSkinControlOrdinal(static_cast<int>(id))) return false;
  const StringIdentStructure& control = skin[id];
  if (!control.Control_Enabled || control.Control_Width <= 0 || control.Control_Height <= 0) return false;
  const QImage* sheet = KELDARSkinStateSheet(window, GetSkinControlStateAlias(id, wanted, skin), loaded);
  if (!sheet) return false;
  const TSkinControlRect at = SkinControlWindowRect(id, skin);
  painter.drawImage(QPoint(at.Left, at.Top), *sheet,
                    QRect(control.Control_Left, control.Control_Top, control.Control_Width, control.Control_Height));
  return true;
}
