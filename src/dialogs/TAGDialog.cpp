#include "dialogs/TAGDialog.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <filesystem>

#include "cd/ArtworkFunctions.h"
#include "cd/ArtworkPanelEvents.h"
#include "cd/ArtworkLoader.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_Tags.h"
#include "playlist/PlaylistTagReading.h"
#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShellFunctions.h"
#include "util/TextFunctions.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

constexpr const char* kFileTagLabels[] = {"Title:",     "Artist:",    "Album:",     "Track:",
                                          "Genre:",     "Year:",      "Composer:",  "Encoder:",
                                          "Copyright:", "Language:",  "Link:",      "Comment:"};
constexpr const char* kURLTagLabels[] = {"Server Name:",   "Server Notice1:", "Server Notice2:", "Server Genre:",
                                         "Server URL:",    "Metaint:",        "Server Status:",  "Bitrate:",
                                         "Server Info:",   "Description:",    "Server Type:"};

TKELDAR_AUDIOVIDEO_API_AudioFileTags ReadTags(const std::string& file) {
  const auto& read = KELDAR_AUDIOVIDEO_API_Slots().ReadFileTags;
  return read ? read(file) : ::ReadFileTags(file);
}

TKELDAR_AUDIOVIDEO_API_ModuleInfo ReadModuleInfo(const std::string& file) {
  const auto& read = KELDAR_AUDIOVIDEO_API_Slots().GetModuleInfo;
  return read ? read(file) : ::GetModuleInfo(file);
}

QWidget* FieldsTab(const char* const* labels, size_t count, QWidget* owner) {
  auto* tab = new QWidget;
  auto* form = new QFormLayout(tab);
  for (size_t i = 0; i < count; ++i) {
    auto* edit = new QLineEdit;
    edit->setObjectName(labels[i]);
    edit->setParent(owner);
    form->addRow(labels[i], edit);
  }
  return tab;
}

}  // namespace

TTAGDialogForm::TTAGDialogForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TTAGDialogForm");
  setWindowTitle("Tag Editor");

  m_fileName = new QLineEdit;
  m_fileName->setObjectName("FileNameEdit");
  m_fileName->setReadOnly(true);
  auto* openFolder = new QPushButton("...");
  openFolder->setObjectName("OpenFolderButton");
  openFolder->setFixedWidth(28);
  auto* fileLine = new QHBoxLayout;
  fileLine->addWidget(m_fileName, 1);
  fileLine->addWidget(openFolder);

  m_tabs = new QTabWidget;
  m_tabs->setObjectName("TagTabs");
  m_tabs->addTab(FieldsTab(kFileTagLabels, std::size(kFileTagLabels), this), "File Tags");
  auto* music = new QWidget;
  auto* musicForm = new QFormLayout(music);
  auto* musicName = new QLineEdit;
  musicName->setObjectName("Music Name:");
  m_musicMessage = new QPlainTextEdit;
  m_musicMessage->setObjectName("Music Message:");
  m_instruments = new QListWidget;
  m_instruments->setObjectName("Music Instruments");
  m_samples = new QListWidget;
  m_samples->setObjectName("Music Samples");
  musicForm->addRow("Music Name:", musicName);
  musicForm->addRow("Music Message:", m_musicMessage);
  auto* lists = new QHBoxLayout;
  auto* instrumentsBox = new QGroupBox("Music Instruments");
  (new QVBoxLayout(instrumentsBox))->addWidget(m_instruments);
  auto* samplesBox = new QGroupBox("Music Samples");
  (new QVBoxLayout(samplesBox))->addWidget(m_samples);
  lists->addWidget(instrumentsBox);
  lists->addWidget(samplesBox);
  musicForm->addRow(lists);
  m_tabs->addTab(music, "Music Tags");
  m_tabs->addTab(FieldsTab(kURLTagLabels, std::size(kURLTagLabels), this), "URL Tags");

  auto* artworkBox = new QGroupBox("Album Artwork");
  m_artwork = new QLabel;
  m_artwork->setObjectName("ArtworkImage");
  m_artwork->setFixedSize(200, 200);
  m_artwork->setAlignment(Qt::AlignCenter);
  m_artwork->setFrameShape(QFrame::StyledPanel);
  m_artwork->installEventFilter(this);
  auto* loadArtwork = new QPushButton("Load Artwork");
  loadArtwork->setObjectName("LoadArtworkButton");
  auto* artworkLayout = new QVBoxLayout(artworkBox);
  artworkLayout->addWidget(m_artwork);
  artworkLayout->addWidget(loadArtwork);

  auto* update = new QPushButton("Update Playlist");
  update->setObjectName("UpdatePlaylistButton");
  auto* close = new QPushButton("Close");
  close->setObjectName("CloseButton");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(update);
  buttons->addWidget(close);

  auto* body = new QHBoxLayout;
  body->addWidget(m_tabs, 1);
  body->addWidget(artworkBox);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fileLine);
  layout->addLayout(body, 1);
  layout->addLayout(buttons);

  connect(update, &QPushButton::clicked, this, &QDialog::accept);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(loadArtwork, &QPushButton::clicked, this, [this] { InstallArtworkFile(true, {}); });
  connect(openFolder, &QPushButton::clicked, this, [this] {
    reject();
    const std::string folder = ExtractFilePath(m_fileName->text().toStdString());
    if (!folder.empty() && !IsURL(m_fileName->text().toStdString())) ShellOpenDocument(folder);
  });
}

QLineEdit* TTAGDialogForm::Field(const std::string& label) const { return findChild<QLineEdit*>(Q(label)); }

int TTAGDialogForm::ShowForItem(TPlayListBoxItem* item, const std::string& actualLocation,
                                const std::string& originalLocation, TPlaylist* playlist) {
  TAGDialog_PointerToPlayListBoxItemToShowTags = item;
  TagDialogFilenameActualLocation = actualLocation;
  TagDialogFilenameOriginalLocation = originalLocation;
  TAGDialog_Playlist = playlist;
  const int result = exec();
  if (result == QDialog::Accepted) GetSongTitleAndAuthorFromTagID();
  return result;
}

void TTAGDialogForm::GetSongTitleAndAuthorFromTagID() {
  ::GetSongTitleAndAuthorFromTagID(TagDialogFilenameActualLocation, TAGDialog_PointerToPlayListBoxItemToShowTags,
                                   TAGDialog_Playlist);
}

void TTAGDialogForm::ID3TagClearAllFields() {
  for (const char* label : kFileTagLabels) Field(label)->clear();
}

void TTAGDialogForm::TAGS_ClearAllEditFields() {
  for (const char* label : kURLTagLabels) Field(label)->clear();
}

void TTAGDialogForm::ID3TagFillInFieldsFromTags() {
  m_tabs->setCurrentIndex(0);
  ID3TagClearAllFields();
  if (TagDialogFilenameActualLocation.empty()) return;
  const TKELDAR_AUDIOVIDEO_API_AudioFileTags tags = ReadTags(TagDialogFilenameActualLocation);
  const std::pair<const char*, const std::string*> rows[] = {
      {"Title:", &tags.TitleName},          {"Artist:", &tags.ArtistName},   {"Album:", &tags.AlbumName},
      {"Track:", &tags.TrackNumber},        {"Year:", &tags.TitleAlbumYear}, {"Genre:", &tags.TitleAlbumGenre},
      {"Comment:", &tags.TitleComment},     {"Composer:", &tags.ComposerName}, {"Copyright:", &tags.CopyrightText}};
  for (const auto& [label, value] : rows) Field(label)->setText(Q(*value));
  TagDialogFilename_Artist = tags.ArtistName;
  TagDialogFilename_Album = tags.AlbumName;
}

void TTAGDialogForm::MUSICTagFillInFieldsFromTags() {
  m_tabs->setCurrentIndex(1);
  m_instruments->clear();
  m_samples->clear();
  std::error_code ec;
  if (!std::filesystem::exists(TagDialogFilenameActualLocation, ec)) return;
  const TKELDAR_AUDIOVIDEO_API_ModuleInfo info = ReadModuleInfo(TagDialogFilenameActualLocation);
  Field("Music Name:")->setText(Q(info.ModuleName));
  m_musicMessage->setPlainText(Q(info.ModuleMessage));
  for (const std::string& line : info.Instruments) m_instruments->addItem(Q(line));
  for (const std::string& line : info.Samples) m_samples->addItem(Q(line));
  TagDialogFilename_Artist.clear();
  TagDialogFilename_Album.clear();
}

void TTAGDialogForm::URLTagFillInFieldsFromTags() {
  m_tabs->setCurrentIndex(2);
  const auto& engine = KELDAR_AUDIOVIDEO_API_State();
  // Only the stream now playing has station data.
  if (engine.CurrentMediaType != KELDAR_AUDIOVIDEO_API_mtShoutcastStream ||
      !SameText(TagDialogFilenameActualLocation, engine.CurrentFileName))
    return;
  const ShoutcastStationNameType& s = engine.Station;
  const std::string* values[] = {&s.ServerName,    &s.ServerNotice1,          &s.ServerNotice2, &s.ServerGenre,
                                 &s.ServerURL,     &s.ServerMetaint,          &s.ServerPublicOrPrivate,
                                 &s.ServerBitrate, &s.ServerICEAudioInfo,     &s.ServerDescription,
                                 &s.ServerType};
  for (size_t i = 0; i < std::size(kURLTagLabels); ++i) Field(kURLTagLabels[i])->setText(Q(*values[i]));
  TagDialogFilename_Artist.clear();
  TagDialogFilename_Album.clear();
}

void TTAGDialogForm::FillFromInputs() {
  m_fileName->setText(Q(TagDialogFilenameOriginalLocation));
  ID3TagClearAllFields();
  TAGS_ClearAllEditFields();
  Field("Music Name:")->clear();
  m_musicMessage->clear();
  m_instruments->clear();
  m_samples->clear();
  TagDialogFilename_Artist.clear();
  TagDialogFilename_Album.clear();
  if (IsURL(TagDialogFilenameActualLocation))
    URLTagFillInFieldsFromTags();
  else if (!IsTrackerModuleFileName(TagDialogFilenameActualLocation))
    ID3TagFillInFieldsFromTags();
  else
    MUSICTagFillInFieldsFromTags();
  ShowArtwork();
}

void TTAGDialogForm::ShowArtwork() {
  ShowArtworkOnPanel(*m_artwork, TagDialogFilenameActualLocation, TagDialogFilename_Artist, TagDialogFilename_Album);
}

bool TTAGDialogForm::InstallArtworkFile(bool choose, const std::string& file) {
  TArtworkInstallHooks hooks;
  hooks.ChooseFile = [this](const std::string& filter, const std::string& folder) {
    return QFileDialog::getOpenFileName(this, "Load Artwork", Q(folder), ArtworkFileDialogFilter(filter)).toStdString();
  };
  hooks.ShowAgain = [this] { ShowArtwork(); };
  return InstallArtwork(TagDialogFilenameActualLocation, TagDialogFilename_Artist, TagDialogFilename_Album, choose, file,
                        hooks);
}

void TTAGDialogForm::showEvent(QShowEvent* event) {
  m_artwork->setAcceptDrops(true);
  FillFromInputs();
  QDialog::showEvent(event);
}

void TTAGDialogForm::hideEvent(QHideEvent* event) {
  m_artwork->setAcceptDrops(false);
  QDialog::hideEvent(event);
}

bool TTAGDialogForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_artwork &&
      HandleArtworkPanelDrop(event, [this](const std::string& file) { InstallArtworkFile(false, file); }))
    return true;
  return QDialog::eventFilter(watched, event);
}
