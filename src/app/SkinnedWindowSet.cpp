#include "app/SkinnedWindowSet.h"

#include <algorithm>

#include "app/DeckTray.h"
#include "app/EqualizerForm.h"
#include "app/FullScreenControlsForm.h"
#include "app/KELDAR_DatabaseForm.h"
#include "app/PlaylistEditorForm.h"
#include "app/VisualsScreenForm.h"
#include "app/deck.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/KELDARSkinDisplays.h"
#include "skin/KELDARSkinLoader.h"

namespace {

struct TSliderSetting {
  KELDARSkinControls_IDs Track;
  SettingsVariableIntegerRecord* Setting;
};

const std::array<TSliderSetting, 16>& SliderSettings() {
  static const std::array<TSliderSetting, 16> sliders = {{
      {DeckForm_VolumeImage, &Options_VolumeButtonCurrValue},
      {DeckForm_BalanceImage, &Options_BalanceButtonCurrValue},
      {DeckForm_PitchImage, &Options_PitchButtonCurrValue},
      {EqualizerForm_EQTempoImage, &Options_EQTempoButton},
      {EqualizerForm_EQSampleRateImage, &Options_EQSampleRateButton},
      {EqualizerForm_EQPreAmpImage, &Options_EQPreAmpButtonCurrValue},
      {EqualizerForm_EQBand1Image, &Options_EQBandButton1CurrValue},
      {EqualizerForm_EQBand2Image, &Options_EQBandButton2CurrValue},
      {EqualizerForm_EQBand3Image, &Options_EQBandButton3CurrValue},
      {EqualizerForm_EQBand4Image, &Options_EQBandButton4CurrValue},
      {EqualizerForm_EQBand5Image, &Options_EQBandButton5CurrValue},
      {EqualizerForm_EQBand6Image, &Options_EQBandButton6CurrValue},
      {EqualizerForm_EQBand7Image, &Options_EQBandButton7CurrValue},
      {EqualizerForm_EQBand8Image, &Options_EQBandButton8CurrValue},
      {EqualizerForm_EQBand9Image, &Options_EQBandButton9CurrValue},
      {EqualizerForm_EQBand10Image, &Options_EQBandButton10CurrValue},
  }};
  return sliders;
}

struct TToggleSetting {
  KELDARSkinControls_IDs Toggle;
  SettingsVariableBooleanRecord* Setting;
};

const std::array<TToggleSetting, 5>& ToggleSettings() {
  static const std::array<TToggleSetting, 5> toggles = {{
      {DeckForm_RepeatButton, &Options_RepeatButtonState},
      {DeckForm_ShuffleButton, &Options_ShuffleButtonState},
      {EqualizerForm_EQLeftVolLevelCanvas, &Options_EQVisualEffectsVolLevelState},
      {EqualizerForm_EQOnButton, &Options_EQOnButtonState},
      {EqualizerForm_EQAutoButton, &Options_EQAutoButtonState},
  }};
  return toggles;
}

// The windows that remember where they were, and the deck toggle that shows each.
struct TWindowSetting {
  TKELDARSkinnedWindow Window;
  SettingsVariableIntegerRecord *Left, *Top, *Width, *Height;
  SettingsVariableBooleanRecord* Visible;
  KELDARSkinControls_IDs DeckToggle;
};

const std::array<TWindowSetting, 5>& WindowSettings() {
  static const std::array<TWindowSetting, 5> windows = {{
      {TKELDARSkinnedWindow::Deck, &Options_DeckLeft, &Options_DeckTop, nullptr, nullptr, nullptr, Form_NullControl},
      {TKELDARSkinnedWindow::Equalizer, &Options_EQLeft, &Options_EQTop, nullptr, nullptr, &Options_EQVisibleState,
       DeckForm_EQButton},
      {TKELDARSkinnedWindow::Playlist, &Options_PLLeft, &Options_PLTop, &Options_PLWidth, &Options_PLHeight,
       &Options_PLVisibleState, DeckForm_PLButton},
      {TKELDARSkinnedWindow::Visuals, &Options_VisExLeft, &Options_VisExTop, &Options_VisExWidth, &Options_VisExHeight,
       &Options_VisExVisibleState, DeckForm_VisExButton},
      {TKELDARSkinnedWindow::Library, &Options_DBLeft, &Options_DBTop, &Options_DBWidth, &Options_DBHeight,
       &Options_DBVisibleState, DeckForm_DBButton},
  }};
  return windows;
}

}  // namespace

TSkinnedWindowSet::TSkinnedWindowSet(TDeckForm* deck, TEqualizerForm* equalizer, TPlaylistEditorForm* playlist,
                                     TVisualsScreenForm* visuals, TKELDAR_DatabaseForm* library,
                                     TFullScreenControlsForm* fullScreen)
    : m_playlist(playlist), m_visuals(visuals), m_library(library),
      m_windows{deck, equalizer, playlist, visuals, library, fullScreen} {}

TSkinUnitTemplateForm* TSkinnedWindowSet::Window(TKELDARSkinnedWindow window) const {
  return m_windows[static_cast<std::size_t>(window)];
}

void TSkinnedWindowSet::CaptureState() {
  for (const TWindowSetting& s : WindowSettings()) {
    TSkinUnitTemplateForm* w = Window(s.Window);
    if (!w) continue;
    s.Left->IntegerValue = w->x();
    s.Top->IntegerValue = w->y();
    if (s.Width) s.Width->IntegerValue = w->width();
    if (s.Height) s.Height->IntegerValue = w->height();
    if (s.Visible) s.Visible->BooleanValue = w->isVisible() || w->property(kPutAwayWithMainWindow).toBool();
  }
  for (const TSliderSetting& s : SliderSettings()) s.Setting->IntegerValue = GetSkinControlValue(s.Track);
  for (const TToggleSetting& s : ToggleSettings()) s.Setting->BooleanValue = GetSkinToggleState(s.Toggle);
}

void TSkinnedWindowSet::HideAllAndReleaseSkin() {
  TSkinUnitTemplateForm::HideAllButtonPanels();
  for (TSkinUnitTemplateForm* w : m_windows)
    if (w) w->hide();
  TKELDARLoadedSkin& loaded = LoadedKELDARSkin();
  loaded.Ready = false;
  loaded.Bitmaps = {};
  loaded.AboutText.clear();
}

void TSkinnedWindowSet::StoreStateAndHide() {
  CaptureState();
  TSkinUnitTemplateForm::HideAllButtonPanels();
  for (std::size_t i = 0; i < 5; ++i)
    if (m_windows[i]) m_windows[i]->hide();
}

void TSkinnedWindowSet::ApplyPlaylistText(const TKELDARSkinTextSettings& text) {
  if (m_playlist) m_playlist->ApplyText(text);
}

void TSkinnedWindowSet::ApplyLibraryText(const TKELDARSkinTextSettings& text) {
  if (m_library) m_library->ApplyText(text);
}

void TSkinnedWindowSet::Configure(const TKELDARSkinWindowSetup& setup) {
  TSkinUnitTemplateForm* w = Window(setup.Window);
  if (!w) return;
  w->ConfigureSkin(setup);
  if (setup.Window == TKELDARSkinnedWindow::Visuals && m_visuals && m_playlist)
    m_visuals->CopyPlaylistFontAndColours(*m_playlist->PlayListScrollBox());
}

void TSkinnedWindowSet::RestoreStateAndRepaint() {
  ResetKELDARSkinDisplaysAfterLoad();
  for (const TSliderSetting& s : SliderSettings()) SetSkinSliderValue(s.Track, s.Setting->IntegerValue);
  for (const TToggleSetting& s : ToggleSettings()) SetSkinToggleState(s.Toggle, s.Setting->BooleanValue);
  // One setting switches both level meters.
  SetSkinToggleState(EqualizerForm_EQRightVolLevelCanvas, Options_EQVisualEffectsVolLevelState.BooleanValue);
  const int onTop = Options_StayOnTopState.BooleanValue ? 1 : 0;
  for (const TWindowSetting& s : WindowSettings()) {
    TSkinUnitTemplateForm* w = Window(s.Window);
    if (!w) continue;
    w->move(s.Left->IntegerValue, s.Top->IntegerValue);
    if (s.Width && s.Height && w->Form_Magnet.ResizeEnabled)
      w->resize(w->Form_Magnet.SnapSize(w->size(), {s.Width->IntegerValue, s.Height->IntegerValue}));
    w->SetStayOnTopState(onTop);
    // The deck has no visibility setting: it is always shown again after the hide step.
    if (!s.Visible) {
      w->show();
      continue;
    }
    const bool shown = s.Visible->BooleanValue && MultimediaSkin()[w->Form_MainImageControl].Control_Enabled;
    SetSkinToggleState(s.DeckToggle, shown);
    w->setVisible(shown);
  }
  for (TSkinUnitTemplateForm* w : m_windows)
    if (w) w->update();
}

void TSkinnedWindowSet::SetShape(TKELDARSkinnedWindow window, const TKELDARSkinPolygons* polygons) {
  if (TSkinUnitTemplateForm* w = Window(window)) w->SetSkinShape(polygons);
}
