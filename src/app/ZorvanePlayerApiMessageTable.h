// What each control message 9401..9464 does: which control of which window it presses,
// reads or sets.
#pragma once

#include <cstdint>

#include "skin/KELDARSkinControls_IDs.h"

enum class TApiAction { Click, Get, Set, PanelClick };
enum class TApiWindow { Deck, Equalizer, Playlist, Visuals, Library };

struct TApiMessageRow {
  uint32_t Message;
  TApiAction Action;
  TApiWindow Window;
  KELDARSkinControls_IDs Control;
  // PanelClick: the menu button clicked first; Control is then the panel's sub-button.
  KELDARSkinControls_IDs MenuButton = Form_NullControl;
};

// The row of a message, or nullptr outside 9401..9464.
const TApiMessageRow* FindApiMessage(uint32_t message);
