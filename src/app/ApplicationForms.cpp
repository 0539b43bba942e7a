#include "app/ApplicationForms.h"

#include <cstring>

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
    if (std::strcmp(name, "Tzorvaneplayerapi") == 0) {
      auto api = std::make_unique<Tzorvaneplayerapi>();
      m_api = api.get();
      m_forms.push_back(std::move(api));
    } else {
      m_forms.push_back(std::make_unique<TPlaceholderForm>(name));
    }
  }
}

void TApplicationForms::DestroyAll() {
  while (!m_forms.empty()) m_forms.pop_back();
  m_api = nullptr;
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
