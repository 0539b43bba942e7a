#include "skin/KELDARSkinDisplays.h"

#include "skin/KELDARSkinDisplayState.h"
#include "skin/KELDARSkinEffectCanvas.h"
#include "skin/KELDARSkinLamps.h"
#include "skin/KELDARSkinLevelMeters.h"
#include "skin/KELDARSkinTextDisplays.h"

bool PaintKELDARSkinDisplayControl(QPainter& painter, TKELDARSkinnedWindow window, KELDARSkinControls_IDs id) {
  if (!IsKELDARSkinControlOrdinal(static_cast<int>(id))) return false;
  switch (id) {
    case DeckForm_SongCurrectPlayingTimeWindow:
    case DeckForm_SongTotalTimeWindow: PaintKELDARSkinTimeDisplay(painter, id); return true;
    case DeckForm_KbpsTextWindow:
    case DeckForm_KHzTextWindow:
    case DeckForm_PlayerStatusWindow:
    case DeckForm_SongArtistWindow:
    case DeckForm_SongTitleWindow: PaintKELDARSkinDeckTextDisplay(painter, id); return true;
    case DeckForm_TransmissionImage: PaintKELDARSkinTransmissionLamp(painter); return true;
    case DeckForm_PlayPauseStateImage: PaintKELDARSkinPlayerStateGlyph(painter); return true;
    case EqualizerForm_EQLeftVolLevelCanvas:
    case EqualizerForm_EQRightVolLevelCanvas: PaintKELDARSkinLevelMeter(painter, window, id); return true;
    case DeckForm_GraphicsEffectsCanvas:
    case EqualizerForm_EQGraphicsEffectsCanvas: PaintKELDARSkinEffectCanvas(painter, window, id); return true;
    case PlayListEditorForm_PLTextWindow1:
    case PlayListEditorForm_PLTextWindow2:
    case VisualsScreenForm_VisExTextWindow:
    case CDDatabaseForm_DBTextWindow: PaintKELDARSkinWindowCounter(painter, window, id); return true;
    default: return false;
  }
}

void ResetKELDARSkinDisplaysAfterLoad() {
  ResetKELDARSkinDisplayState();
  // A fresh skin shows the deck's initial texts before the first timer tick; the time
  // displays and window counters hold hints until their timers fill them, so they stay blank.
  for (KELDARSkinControls_IDs id : {DeckForm_KbpsTextWindow, DeckForm_KHzTextWindow, DeckForm_PlayerStatusWindow,
                                    DeckForm_SongArtistWindow, DeckForm_SongTitleWindow})
    MultimediaSkin()[id].Control_ProcessedTextString = MultimediaSkin()[id].Control_TextString;
  SetKELDARSkinPlayerStateImage(MultimediaSkin()[DeckForm_PlayPauseStateImage].Control_NEWMouseState);
  SetKELDARSkinChannelLamps(msNULLOutput);
}
