#include "app/PlaylistFindDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

#include "settings/ComboboxWithMemoryHistory.h"

TPlaylistFindDialogForm::TPlaylistFindDialogForm(TPlaylist& playlist, QWidget* parent)
    : QDialog(parent), m_playlist(playlist) {
  setObjectName("TPlaylistFindDialogForm");
  setWindowTitle("Text to Find:");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Input Text:", this));
  m_text = new QComboBox(this);
  m_text->setEditable(true);
  m_text->setInsertPolicy(QComboBox::NoInsert);  // the history is kept by our own rule
  layout->addWidget(m_text);

  auto* choices = new QHBoxLayout;
  auto* fields = new QGroupBox("Search for ", this);
  auto* fieldLayout = new QVBoxLayout(fields);
  const char* captions[4] = {"Artist Name", "Song Name", "Album Name", "Filename"};
  for (int i = 0; i < 4; ++i) {
    m_fields[i] = new QRadioButton(captions[i], fields);
    fieldLayout->addWidget(m_fields[i]);
  }
  m_fields[0]->setChecked(true);
  auto* options = new QGroupBox("Search Options", this);
  auto* optionLayout = new QVBoxLayout(options);
  m_fromStart = new QRadioButton("From Start", options);
  m_fromCurrent = new QRadioButton("From Current", options);
  optionLayout->addWidget(m_fromStart);
  optionLayout->addWidget(m_fromCurrent);
  m_fromStart->setChecked(true);
  choices->addWidget(fields);
  choices->addWidget(options);
  layout->addLayout(choices);

  m_find = new QPushButton("Find", this);
  m_find->setDefault(true);
  layout->addWidget(m_find);
  connect(m_find, &QPushButton::clicked, this, [this] { ExecuteButtonClick(); });
}

void TPlaylistFindDialogForm::SetField(TPlaylistFindField field) {
  m_fields[std::clamp(static_cast<int>(field), 0, 3)]->setChecked(true);
}

void TPlaylistFindDialogForm::SetFromCurrent(bool fromCurrent) {
  (fromCurrent ? m_fromCurrent : m_fromStart)->setChecked(true);
}

std::vector<std::string> TPlaylistFindDialogForm::History() const {
  std::vector<std::string> items;
  for (int i = 0; i < m_text->count(); ++i) items.push_back(m_text->itemText(i).toStdString());
  return items;
}

int TPlaylistFindDialogForm::ExecuteButtonClick() {
  const std::string text = m_text->currentText().toStdString();
  std::vector<std::string> items = History();
  InsertIntoHistoryList(items, text, kHistoryCapacity);
  m_text->clear();
  for (const std::string& item : items) m_text->addItem(QString::fromStdString(item));
  m_text->setEditText(QString::fromStdString(text));
  int field = 0;
  for (int i = 0; i < 4; ++i)
    if (m_fields[i]->isChecked()) field = i;
  const int found =
      FindInPlaylist(m_playlist, static_cast<TPlaylistFindField>(field), text, m_fromCurrent->isChecked());
  if (found >= 0 && OnFound) OnFound(found);
  return found;
}

void TPlaylistFindDialogForm::LoadComboBoxRecent() {
  const QString typed = m_text->currentText();
  m_text->clear();
  for (const std::string& item : LoadHistoryList(kHistorySection, kHistoryCapacity))
    m_text->addItem(QString::fromStdString(item));
  m_text->setEditText(typed);
}

void TPlaylistFindDialogForm::SaveComboBoxRecent() const { SaveHistoryList(kHistorySection, kHistoryCapacity, History()); }

void TPlaylistFindDialogForm::showEvent(QShowEvent* event) {
  LoadComboBoxRecent();
  QDialog::showEvent(event);
}

void TPlaylistFindDialogForm::hideEvent(QHideEvent* event) {
  SaveComboBoxRecent();
  QDialog::hideEvent(event);
}
