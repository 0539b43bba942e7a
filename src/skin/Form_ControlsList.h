// Window membership sets over the control identifiers, and the fixed sets that never
// change while the program runs.
#pragma once

#include <array>
#include <bitset>

#include "skin/KELDARSkinControlTypes.h"
#include "skin/KELDARSkinControls_IDs.h"

using Form_ControlsList = std::bitset<176>;

// The window (or the global set) a catalogue row joins.
enum class TSkinWindowOfControl : std::uint8_t {
  Deck,
  Equalizer,
  PlayListEditor,
  VisualsScreen,
  CDDatabase,
  FullScreen,
  Global,  // no window: markers, Form_NullControl, the fonts
};

// The twelve sets a catalogue build produces: six windows, the global set and the button
// sets of the five playlist pop-up panels.
struct TSkinControlsLists {
  Form_ControlsList DeckForm_Controls;
  Form_ControlsList EqualizerForm_Controls;
  Form_ControlsList PlayListEditorForm_Controls;
  Form_ControlsList VisualsScreenForm_Controls;
  Form_ControlsList CDDatabaseForm_Controls;
  Form_ControlsList FullScreenForm_Controls;
  Form_ControlsList Global_Controls;
  std::array<Form_ControlsList, 5> PanelButtons;  // Panel1..Panel5

  Form_ControlsList& Window(TSkinWindowOfControl window);
  const Form_ControlsList& Window(TSkinWindowOfControl window) const;
};

// The live sets, replaced by every catalogue build.
TSkinControlsLists& SkinControlsLists();

// The fixed contents of a playlist panel (index 0..4 for Panel1..Panel5); out of range
// gives the empty set.
Form_ControlsList FixedPanelButtons(int panelIndex);

// Kinds that are never hit targets: a press there falls through to the window background.
bool IsNeverHitTargetKind(KELDARSkinControlTypes kind);

// Sliders handled through grey-level masks when the loaded skin uses masks.
const Form_ControlsList& MaskSliderControls();
bool IsMaskSlider(KELDARSkinControls_IDs id);
