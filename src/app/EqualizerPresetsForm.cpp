#include "app/EqualizerPresetsForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

#include "app/CommandActions.h"
#include "app/DeckController.h"
#include "app/EqualizerForm.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skin/SkinMaskSliders.h"

namespace {

TEqualizerPresetsForm* g_presets = nullptr;

KELDARSkinControls_IDs ValueTrack(std::size_t i) {
  return i == 0 ? EqualizerForm_EQPreAmpImage
                : static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQBand1Image + 2 * static_cast<int>(i - 1));
}

QString Text(const std::string& s) { return QString::fromStdString(s); }

void UpdateEqualizerControls() {
  if (TEqualizerForm* equalizer = EqualizerForm())
    equalizer->UpdateEqualizerControls();
  else
    ApplyEqualizerSlidersToEngine();
}

}  // namespace

TEqualizerPresetsForm* EqualizerPresetsForm() { return g_presets; }

void ShowEqualizerPresetsForm() {
  if (TEqualizerPresetsForm* presets = EqualizerPresetsForm()) {
    presets->show();
    presets->raise();
  }
}

TEqualizerPresetsForm::TEqualizerPresetsForm(QWidget* parent, std::string path)
    : QDialog(parent), m_path(path.empty() ? EQPresetsFilePath() : std::move(path)) {
  g_presets = this;
  setObjectName("TEqualizerPresetsForm");
  setWindowTitle("Equalizer Presets");

  m_list = new QListWidget(this);
  m_list->setObjectName("EQPresetsListBox");
  m_list->setMinimumWidth(260);
  m_name = new QLineEdit(this);
  m_name->setObjectName("Edit1");
  m_save = new QPushButton("Save Preset", this);
  m_load = new QPushButton("Load Preset", this);
  m_clear = new QPushButton("Clear Preset", this);
  m_cancel = new QPushButton("Cancel", this);
  for (QPushButton* b : {m_save, m_load, m_clear, m_cancel}) b->setAutoDefault(false);

  auto* counters = new QGridLayout;
  const char* labels[3] = {"Total Presets :", "PreDefined :", "User Defined :"};
  for (int i = 0; i < 3; ++i) {
    counters->addWidget(new QLabel(labels[i], this), i, 0);
    m_counters[i] = new QLabel(this);
    counters->addWidget(m_counters[i], i, 1);
  }
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(m_load);
  buttons->addWidget(m_save);
  buttons->addWidget(m_clear);
  buttons->addWidget(m_cancel);
  buttons->addStretch();
  buttons->addLayout(counters);
  auto* top = new QHBoxLayout;
  top->addWidget(m_list, 1);
  top->addLayout(buttons);
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(new QLabel("Preset Name:", this));
  nameRow->addWidget(m_name, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top, 1);
  layout->addLayout(nameRow);

  connect(m_list, &QListWidget::itemClicked, this, [this] { EQPresetsListBoxClick(); });
  connect(m_save, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(m_cancel, &QPushButton::clicked, this, [this] { Button2Click(); });
  connect(m_load, &QPushButton::clicked, this, [this] { Button3Click(); });
  connect(m_clear, &QPushButton::clicked, this, [this] { Button4Click(); });
  connect(m_name, &QLineEdit::returnPressed, this, [this] { Button1Click(); });

  // FormCreate
  LoadDefaultEQPresetsValues();
  LoadEQPresetsFromFile(m_path, m_presets);
  LoadEQPresetsToListBox();
  m_remembered = GetEQPresetsValuesFromEQBands();
}

TEqualizerPresetsForm::~TEqualizerPresetsForm() {
  if (g_presets == this) g_presets = nullptr;
}

std::string TEqualizerPresetsForm::CounterText(int which) const {
  return which >= 0 && which < 3 ? m_counters[which]->text().toStdString() : std::string();
}

void TEqualizerPresetsForm::LoadDefaultEQPresetsValues() {
  ResetEQPresetsValues(m_presets);
  LoadEQPresetsToListBox();
  UpdateShowPresetsText();
}

void TEqualizerPresetsForm::LoadEQPresetsToListBox() {
  m_list->clear();
  for (int i = 0; i < m_presets.EQPresetsTotal; ++i)
    m_list->addItem(Text(m_presets.EQPresetsArray[static_cast<std::size_t>(i)].EQPresetName));
}

void TEqualizerPresetsForm::UpdateShowPresetsText() {
  m_counters[0]->setText(QString::number(m_presets.EQPresetsTotal));
  m_counters[1]->setText(QString::number(kEQPredefinedPresets));
  m_counters[2]->setText(QString::number(m_presets.EQPresetsTotal - kEQPredefinedPresets));
}

TEQPresetValues TEqualizerPresetsForm::GetEQPresetsValuesFromEQBands() {
  TEQPresetValues values{};
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = GetSkinControlValue(ValueTrack(i));
  return values;
}

void TEqualizerPresetsForm::SetEQPresetsValuesToEQBands(const TEQPresetValues& values) {
  for (std::size_t i = 0; i < values.size(); ++i) SetLoadedSkinSliderValue(ValueTrack(i), values[i]);
}

void TEqualizerPresetsForm::CheckIfCurrentEqualizerSettingsAreFromDefinedPreset() {
  const int found = FindEQPresetWithValues(m_presets, GetEQPresetsValuesFromEQBands());
  if (found < 0) {
    m_list->setCurrentRow(-1);
    m_list->clearSelection();
    return;
  }
  m_list->setCurrentRow(found);
  m_name->setText(Text(m_presets.EQPresetsArray[static_cast<std::size_t>(found)].EQPresetName));
}

int TEqualizerPresetsForm::SelectedIndex() const {
  const int row = m_list->currentRow();
  if (row < 0 || row >= m_presets.EQPresetsTotal || !m_list->item(row)->isSelected()) return -1;
  return row;
}

void TEqualizerPresetsForm::SetListText(int index, const std::string& text) {
  if (QListWidgetItem* item = m_list->item(index)) item->setText(Text(text));
}

void TEqualizerPresetsForm::PreviewSelected() {
  const int index = SelectedIndex();
  if (index < 0) return;
  const EQPresetsRecord& preset = m_presets.EQPresetsArray[static_cast<std::size_t>(index)];
  m_name->setText(Text(preset.EQPresetName));
  SetEQPresetsValuesToEQBands(EQPresetValues(preset));
  UpdateEqualizerControls();
}

void TEqualizerPresetsForm::EQPresetsListBoxClick() { PreviewSelected(); }

int TEqualizerPresetsForm::SaveNewEQPresetAndUpdateListBoxes() {
  const int selected = SelectedIndex();
  if (selected < 0) return -1;
  int target = selected;
  const EQPresetsRecord& chosen = m_presets.EQPresetsArray[static_cast<std::size_t>(selected)];
  if (!chosen.EQPresetCanBeEdited) {
    m_name->setText(Text("Copy of " + chosen.EQPresetName));
    target = FirstFreeEQUserPreset(m_presets);
  }
  if (target < 0) return -1;
  m_list->setCurrentRow(target);
  const std::string name = m_name->text().toStdString();
  SetListText(target, name);
  EQPresetsRecord& slot = m_presets.EQPresetsArray[static_cast<std::size_t>(target)];
  slot.EQPresetName = name;
  SetEQPresetValues(slot, GetEQPresetsValuesFromEQBands());
  slot.EQPresetIsDefined = true;
  return target;
}

void TEqualizerPresetsForm::Button1Click() { SaveNewEQPresetAndUpdateListBoxes(); }

void TEqualizerPresetsForm::Button2Click() {
  SetEQPresetsValuesToEQBands(m_remembered);
  UpdateEqualizerControls();
  hide();
}

void TEqualizerPresetsForm::Button3Click() {
  if (SelectedIndex() < 0) return;
  PreviewSelected();
  m_remembered = GetEQPresetsValuesFromEQBands();
  hide();
}

void TEqualizerPresetsForm::Button4Click() {
  const int index = SelectedIndex();
  if (index < kEQPredefinedPresets) return;
  EQPresetsRecord& slot = m_presets.EQPresetsArray[static_cast<std::size_t>(index)];
  slot = EQEmptyUserPreset();
  SetEQPresetsValuesToEQBands(EQPresetValues(slot));
  UpdateEqualizerControls();
  m_name->setText(kEQEmptyUserPresetName);
  SetListText(index, kEQEmptyUserPresetName);
}

void TEqualizerPresetsForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  m_remembered = GetEQPresetsValuesFromEQBands();
  CheckIfCurrentEqualizerSettingsAreFromDefinedPreset();
}

void TEqualizerPresetsForm::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (event->spontaneous()) return;  // minimized with its owner, not closed
  // The engine follows the sliders back as well, so a preview never outlives the dialog.
  SetEQPresetsValuesToEQBands(m_remembered);
  UpdateEqualizerControls();
  SaveEQPresetsToFile(m_path, m_presets);
}
