#include "cd/CDEntryEditFrm.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <filesystem>

#include "cd/ArtworkFunctions.h"
#include "cd/ArtworkPanelEvents.h"
#include "cd/ArtworkLoader.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Carriage returns removed and trailing blanks trimmed, as the memos give text back.
std::string MemoText(const QString& text) {
  std::string s = text.toStdString();
  std::string out;
  for (char c : s)
    if (c != '\r') out += c;
  while (!out.empty() && (out.back() == ' ' || out.back() == '\t' || out.back() == '\n')) out.pop_back();
  return out;
}

}  // namespace

TCDEntryEditForm::TCDEntryEditForm(TCDDBEntry& entry, QWidget* parent) : QDialog(parent), m_entry(entry) {
  setWindowTitle("Edit CD");
  setObjectName("TCDEntryEditForm");
  m_title = new QLineEdit(Q(entry.CDTitle));
  m_artist = new QLineEdit(Q(entry.ArtistTitle));
  m_revision = new QLineEdit(Q(entry.Revision));
  m_year = new QLineEdit(Q(entry.Year));
  m_genre = new QLineEdit(Q(entry.Genre));
  m_via = new QLineEdit(Q(entry.SubmittedVia));
  m_via->setReadOnly(true);
  m_discId = new QLineEdit(Q(entry.CDID));
  m_discId->setReadOnly(true);
  m_category = new QComboBox;
  for (const std::string& c : CDDBCategories()) {
    m_category->addItem(Q(c));
    if (SameText(c, entry.Category)) m_category->setCurrentIndex(m_category->count() - 1);
  }
  m_extd = new QPlainTextEdit(Q(entry.ExtendedCDInfo));
  m_extt = new QPlainTextEdit;
  m_tracks = new QTableWidget(static_cast<int>(entry.Tracks.size()), 2);
  m_tracks->setHorizontalHeaderLabels({"Track", "Title"});
  m_tracks->verticalHeader()->hide();
  m_tracks->setColumnWidth(0, 35);
  m_tracks->horizontalHeader()->setStretchLastSection(true);
  for (int r = 0; r < static_cast<int>(entry.Tracks.size()); ++r) {
    auto* number = new QTableWidgetItem(QString::number(r + 1));
    number->setFlags(number->flags() & ~Qt::ItemIsEditable);
    m_tracks->setItem(r, 0, number);
    m_tracks->setItem(r, 1, new QTableWidgetItem(Q(entry.Tracks[static_cast<size_t>(r)])));
  }
  m_shownTrackData = entry.ExtendedTracksData;
  m_shownTrackData.resize(entry.Tracks.size());
  m_artwork = new QLabel;
  m_artwork->setMinimumSize(120, 120);
  m_artwork->setFrameShape(QFrame::Box);
  m_artwork->setAlignment(Qt::AlignCenter);
  m_artwork->setAcceptDrops(true);
  m_artwork->installEventFilter(this);

  auto* fields = new QFormLayout;
  fields->addRow("Album", m_title);
  fields->addRow("Artist", m_artist);
  fields->addRow("Rev.", m_revision);
  fields->addRow("Year", m_year);
  fields->addRow("Genre", m_genre);
  fields->addRow("Submitted via", m_via);
  fields->addRow("DiscID", m_discId);
  fields->addRow("Category", m_category);
  fields->addRow("CD Ext Info", m_extd);
  auto* top = new QHBoxLayout;
  top->addLayout(fields, 1);
  top->addWidget(m_artwork);
  auto* buttons = new QHBoxLayout;
  m_loadArtwork = new QPushButton("Load Artwork");
  buttons->addWidget(m_loadArtwork);
  m_submit = new QPushButton("Submit");
  m_ok = new QPushButton("OK");
  buttons->addStretch();
  buttons->addWidget(m_submit);
  buttons->addWidget(m_ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(m_tracks, 1);
  layout->addWidget(new QLabel("Ext Info"));
  layout->addWidget(m_extt);
  layout->addLayout(buttons);

  connect(m_tracks, &QTableWidget::currentCellChanged, this, [this](int row) { ShowTrackExtInfo(row); });
  connect(m_submit, &QPushButton::clicked, this, &TCDEntryEditForm::SubmitButtonClick);
  connect(m_ok, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_loadArtwork, &QPushButton::clicked, this, [this] { InstallAlbumArtwork(true, {}); });
  if (!entry.Tracks.empty()) ShowTrackExtInfo(0);
  ShowAlbumArtwork();
}

std::string TCDEntryEditForm::ArtworkPlace() const { return CDArtworkFolder(ProgramFolder()) + "album"; }

void TCDEntryEditForm::ShowAlbumArtwork() {
  ShowArtworkOnPanel(*m_artwork, ArtworkPlace(), m_artist->text().toStdString(), m_title->text().toStdString());
}

bool TCDEntryEditForm::InstallAlbumArtwork(bool choose, const std::string& file) {
  if (m_discId->text().isEmpty()) return false;
  TArtworkInstallHooks hooks;
  hooks.ChooseFile = [this](const std::string& filter, const std::string& folder) {
    // "description|patterns|..." into Qt's "description (patterns);;..."
    return QFileDialog::getOpenFileName(this, "Load Artwork", Q(folder), ArtworkFileDialogFilter(filter)).toStdString();
  };
  hooks.ShowAgain = [this] { ShowAlbumArtwork(); };
  std::error_code ec;
  std::filesystem::create_directories(CDArtworkFolder(ProgramFolder()), ec);
  return InstallArtwork(ArtworkPlace(), m_artist->text().toStdString(), m_title->text().toStdString(), choose, file,
                        hooks);
}

bool TCDEntryEditForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_artwork &&
      HandleArtworkPanelDrop(event, [this](const std::string& file) { InstallAlbumArtwork(false, file); }))
    return true;
  return QDialog::eventFilter(watched, event);
}

void TCDEntryEditForm::ShowTrackExtInfo(int row) {
  m_extt->setPlainText(row >= 0 && row < static_cast<int>(m_shownTrackData.size())
                           ? Q(m_shownTrackData[static_cast<size_t>(row)])
                           : QString());
}

QString TCDEntryEditForm::Complaints() const {
  QString list;
  if (m_category->currentText().isEmpty()) list += "Category field is Invalid\r";
  if (m_discId->text().isEmpty()) list += "DiscID field is Invalid\r";
  if (m_title->text() == "Unknown Title") list += "CD Title field is Invalid\r";
  if (m_artist->text() == "Unknown Artist") list += "CD Artist field is Invalid\r";
  for (int r = 0; r < m_tracks->rowCount(); ++r) {
    const QTableWidgetItem* item = m_tracks->item(r, 1);
    const QString title = item ? item->text() : QString();
    if (title == "Track " + QString::number(r + 1))
      list += "Track " + QString::number(r + 1) + " field is Invalid\r";
  }
  return list;
}

void TCDEntryEditForm::SubmitButtonClick() {
  const QString complaints = Complaints();
  if (!complaints.isEmpty()) {
    ShowMessage(("The following fields are Invalid:\r" + complaints).toStdString(), {}, TMessageIcon::Warning);
    reject();
    return;
  }
  m_entry.CDTitle = m_title->text().toStdString();
  m_entry.ArtistTitle = m_artist->text().toStdString();
  m_entry.Revision = m_revision->text().toStdString();
  m_entry.Year = m_year->text().toStdString();
  m_entry.Genre = m_genre->text().toStdString();
  m_entry.Category = m_category->currentText().toStdString();
  m_entry.ExtendedCDInfo = MemoText(m_extd->toPlainText());
  m_entry.Tracks.clear();
  for (int r = 0; r < m_tracks->rowCount(); ++r) {
    const QTableWidgetItem* item = m_tracks->item(r, 1);
    m_entry.Tracks.push_back(item ? item->text().toStdString() : std::string());
  }
  m_entry.ExtendedTracksData.clear();
  for (const std::string& text : m_shownTrackData) m_entry.ExtendedTracksData.push_back(MemoText(Q(text)));
  accept();
}
