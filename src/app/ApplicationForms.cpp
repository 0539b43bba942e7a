#include "app/ApplicationForms.h"

#include <cstring>

#include "app/EqualizerForm.h"
#include "app/EqualizerPresetsForm.h"
#include "app/FullScreenControlsForm.h"
#include "app/KELDAR_DatabaseForm.h"
#include "app/PlaylistEditorForm.h"
#include "app/TRecordingDialogForm.h"
#include "app/VisualsScreenForm.h"
#include "dialogs/OpenURLDialog.h"
#include "dialogs/PreferencesDialog.h"
#include "dialogs/SystemInfoForm.h"
#include "dialogs/TAGDialog.h"

namespace {
template <typename T>
T* Keep(std::vector<std::unique_ptr<QObject>>& forms, T*& slot) {
  auto form = std::make_unique<T>();
  slot = form.get();
  forms.push_back(std::move(form));
  return slot;
}
}  // namespace

const char* const kRemainingFormClassNames[19] = {
    "TPreferencesDialogForm", "TEqualizerForm",          "TPlaylistEditorForm",     "TVisualsScreenForm",
    "TKELDAR_DatabaseForm",   "TFullScreenControlsForm", "TSkinUnitTemplateForm",   "TSortDialogForm",
    "TLibraryDisplayItemsForm", "TTAGDialogForm",        "TSystemInfoForm",         "TEqualizerPresetsForm",
    "TFreeDBInterfaceForm",   "Tzorvaneplayerapi",       "TComboboxWithMemoryForm", "TPlaylistFindDialogForm",
    "TFindDialogForm",        "TOpenURLDialogForm",      "TRecordingDialogForm"};

TPlaceholderForm::TPlaceholderForm(const char* className) {
  setObjectName(className);
  setWindowTitle(className);
}

void TApplicationForms::CreateDeckForm() {
  m_deck = std::make_unique<TDeckForm>();
  m_deck->FormCreate();
}

void TApplicationForms::CreateRemainingForms() {
  for (const char* name : kRemainingFormClassNames) {
    if (std::strcmp(name, "Tzorvaneplayerapi") == 0) Keep(m_forms, m_api);
    else if (std::strcmp(name, "TEqualizerForm") == 0) Keep(m_forms, m_equalizer);
    else if (std::strcmp(name, "TPlaylistEditorForm") == 0) Keep(m_forms, m_playlist);
    else if (std::strcmp(name, "TVisualsScreenForm") == 0) Keep(m_forms, m_visuals);
    else if (std::strcmp(name, "TKELDAR_DatabaseForm") == 0) Keep(m_forms, m_library);
    else if (std::strcmp(name, "TFullScreenControlsForm") == 0) Keep(m_forms, m_fullScreen);
    else if (std::strcmp(name, "TEqualizerPresetsForm") == 0) Keep(m_forms, m_equalizerPresets);
    else if (std::strcmp(name, "TRecordingDialogForm") == 0) Keep(m_forms, m_recording);
    else if (std::strcmp(name, "TPreferencesDialogForm") == 0) Keep(m_forms, m_preferences);
    else if (std::strcmp(name, "TTAGDialogForm") == 0) Keep(m_forms, m_tagEditor);
    else if (std::strcmp(name, "TSystemInfoForm") == 0) Keep(m_forms, m_systemInfo);
    else if (std::strcmp(name, "TOpenURLDialogForm") == 0) Keep(m_forms, m_openURL);
    else m_forms.push_back(std::make_unique<TPlaceholderForm>(name));
  }
  m_skinnedWindows = std::make_unique<TSkinnedWindowSet>(m_deck.get(), m_equalizer, m_playlist, m_visuals, m_library,
                                                         m_fullScreen);
}

void TApplicationForms::DestroyAll() {
  m_skinnedWindows.reset();
  while (!m_forms.empty()) m_forms.pop_back();
  m_api = nullptr;
  m_equalizer = nullptr;
  m_playlist = nullptr;
  m_visuals = nullptr;
  m_library = nullptr;
  m_fullScreen = nullptr;
  m_equalizerPresets = nullptr;
  m_recording = nullptr;
  m_preferences = nullptr;
  m_tagEditor = nullptr;
  m_systemInfo = nullptr;
  m_openURL = nullptr;
  m_deck.reset();
}

std::vector<std::string> TApplicationForms::CreationOrder() const {
  std::vector<std::string> order;
  if (m_deck) order.push_back("TDeckForm");
  for (const auto& form : m_forms) {
    order.push_back(dynamic_cast<Tzorvaneplayerapi*>(form.get()) ? "Tzorvaneplayerapi" : form->objectName().toStdString());
  }
  return order;
}
