#include "skin/Form_ControlsList.h"

namespace {

Form_ControlsList SetOf(std::initializer_list<KELDARSkinControls_IDs> ids) {
  Form_ControlsList set;
  for (auto id : ids) set.set(id);
  return set;
}

}  // namespace

Form_ControlsList& TSkinControlsLists::Window(TSkinWindowOfControl window) {
  return const_cast<Form_ControlsList&>(static_cast<const TSkinControlsLists&>(*this).Window(window));
}

const Form_ControlsList& TSkinControlsLists::Window(TSkinWindowOfControl window) const {
  switch (window) {
    case TSkinWindowOfControl::Deck: return DeckForm_Controls;
    case TSkinWindowOfControl::Equalizer: return EqualizerForm_Controls;
    case TSkinWindowOfControl::PlayListEditor: return PlayListEditorForm_Controls;
    case TSkinWindowOfControl::VisualsScreen: return VisualsScreenForm_Controls;
    case TSkinWindowOfControl::CDDatabase: return CDDatabaseForm_Controls;
    case TSkinWindowOfControl::FullScreen: return FullScreenForm_Controls;
    case TSkinWindowOfControl::Global: break;
  }
  return Global_Controls;
}

TSkinControlsLists& SkinControlsLists() {
  static TSkinControlsLists live;
  return live;
}

Form_ControlsList FixedPanelButtons(int panelIndex) {
  static const std::array<Form_ControlsList, 5> panels = {
      SetOf({PlayListEditorForm_PLAddFilesButton, PlayListEditorForm_PLAddDirButton,
             PlayListEditorForm_PLAddUrlButton}),
      SetOf({PlayListEditorForm_PLRemSelectedFilesButton, PlayListEditorForm_PLCropFilesButton,
             PlayListEditorForm_PLRemAllFilesButton}),
      SetOf({PlayListEditorForm_PLSelectAllFilesButton, PlayListEditorForm_PLSelectNoneFilesButton,
             PlayListEditorForm_PLInverseSelectedFilesButton}),
      SetOf({PlayListEditorForm_PLMiscOptionsButton, PlayListEditorForm_PLFileInfoButton,
             PlayListEditorForm_PLSortListButton}),
      SetOf({PlayListEditorForm_PLLoadListButton, PlayListEditorForm_PLSaveListButton,
             PlayListEditorForm_PLNewListButton}),
  };
  if (panelIndex < 0 || panelIndex >= 5) return {};
  return panels[static_cast<std::size_t>(panelIndex)];
}

bool IsNeverHitTargetKind(KELDARSkinControlTypes kind) {
  switch (kind) {
    case KELDARSkinTitleBarControl:
    case KELDARSkinResizableBorderControl:
    case KELDARSkinSliderButtonControl:
    case KELDARSkinAssistantControl:
    case KELDARSkinPanelControl:
    case KELDARSkinMarkStartAndEndControl:
    case KELDARSkinEmptyControl:
      return true;
    default:
      return false;
  }
}

const Form_ControlsList& MaskSliderControls() {
  static const Form_ControlsList masks = SetOf({DeckForm_VolumeImage, DeckForm_PitchImage, DeckForm_PosBarImage});
  return masks;
}

bool IsMaskSlider(KELDARSkinControls_IDs id) { return MaskSliderControls().test(id); }
