// TEqualizerPresetsForm ("Equalizer Presets"): the list of the 30 equalizer presets with the
// name field and Save, Load, Clear and Cancel. Clicking a preset previews it on the
// equalizer sliders; Load keeps it; Cancel and every hide put back the sliders as they were
// when the dialog was shown, and every hide saves the user slots to "keldar3.eqp". UI thread.
#pragma once

#include <QDialog>

#include <string>

#include "engine/EQPresets.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class TEqualizerPresetsForm : public QDialog {
  Q_OBJECT
 public:
  // Reads the presets file (`path`; empty: the program's "keldar3.eqp").
  explicit TEqualizerPresetsForm(QWidget* parent = nullptr, std::string path = {});
  ~TEqualizerPresetsForm() override;

  const EQPresetsStructure& Presets() const { return m_presets; }
  const std::string& PresetsFilePath() const { return m_path; }

  // The controls, for tests.
  QListWidget& EQPresetsListBox() const { return *m_list; }
  QLineEdit& Edit1() const { return *m_name; }
  QPushButton& SaveButton() const { return *m_save; }
  QPushButton& CancelButton() const { return *m_cancel; }
  QPushButton& LoadButton() const { return *m_load; }
  QPushButton& ClearButton() const { return *m_clear; }
  // The three counters' texts: total, predefined, user defined.
  std::string CounterText(int which) const;

  void LoadDefaultEQPresetsValues();
  void LoadEQPresetsToListBox();
  void UpdateShowPresetsText();
  // The eleven slider values (preamp, bands 1..10) from and to the equalizer's sliders.
  static TEQPresetValues GetEQPresetsValuesFromEQBands();
  static void SetEQPresetsValuesToEQBands(const TEQPresetValues& values);
  // Selects the first preset with the sliders' values and shows its name; else no selection.
  void CheckIfCurrentEqualizerSettingsAreFromDefinedPreset();
  // Save Preset (and Enter in the name field): the slot saved, or -1.
  int SaveNewEQPresetAndUpdateListBoxes();

  void EQPresetsListBoxClick();
  void Button1Click();  // Save Preset
  void Button2Click();  // Cancel
  void Button3Click();  // Load Preset
  void Button4Click();  // Clear Preset

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  int SelectedIndex() const;
  void SetListText(int index, const std::string& text);
  void PreviewSelected();

  std::string m_path;
  EQPresetsStructure m_presets;
  TEQPresetValues m_remembered{};
  QListWidget* m_list = nullptr;
  QLineEdit* m_name = nullptr;
  QPushButton* m_save = nullptr;
  QPushButton* m_cancel = nullptr;
  QPushButton* m_load = nullptr;
  QPushButton* m_clear = nullptr;
  QLabel* m_counters[3] = {nullptr, nullptr, nullptr};
};

// The presets dialog while it exists, else null.
TEqualizerPresetsForm* EqualizerPresetsForm();
// The equalizer's PRESETS button: shows the dialog.
void ShowEqualizerPresetsForm();
