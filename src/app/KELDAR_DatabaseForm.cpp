#include "app/KELDAR_DatabaseForm.h"

#include <QHeaderView>
#include <QHideEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <QShowEvent>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

#include "app/LibraryGridView.h"
#include "app/LibraryMenus.h"
#include "app/LibraryTableModel.h"
#include "app/PlaylistWindowHooks.h"
#include "app/SkinnedFormColours.h"
#include "cd/CDTrackNaming.h"
#include "cd/LibraryColumns.h"
#include "cd/LibraryImportLocalStore.h"
#include "playlist/PlaylistEditor.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "skin/KELDARSkinBitmapFonts.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "util/ProgramFolders.h"
#include "util/ShellFunctions.h"
#include "util/TextFunctions.h"
#include "util/ShowMessage.h"

namespace {
TKELDAR_DatabaseForm* g_library = nullptr;

const char* const kCDTrackText = "This is a CD track.\rInsert CD and add files with ADD Dir instead";

// Shown when a song has no album picture: a dark square with a drawn note.
QImage FallbackArtwork(int side) {
  QImage image(std::max(1, side), std::max(1, side), QImage::Format_RGB32);
  image.fill(QColor(40, 40, 48));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(150, 150, 170));
  p.setPen(Qt::NoPen);
  const double u = side / 10.0;
  p.drawEllipse(QRectF(2.5 * u, 6 * u, 2.4 * u, 1.8 * u));
  p.drawRect(QRectF(4.4 * u, 2.2 * u, 0.5 * u, 4.7 * u));
  p.drawRect(QRectF(4.4 * u, 2.2 * u, 3 * u, 0.6 * u));
  return image;
}
}  // namespace

TKELDAR_DatabaseForm* KELDAR_DatabaseForm() { return g_library; }

TKELDAR_DatabaseForm::~TKELDAR_DatabaseForm() {
  // Quitting with the window open still keeps what the user collected.
  if (m_loaded) SaveLibrary(m_library, m_fileState, LibrarySongsFilePath());
  if (g_library == this) g_library = nullptr;
}

TKELDAR_DatabaseForm::TKELDAR_DatabaseForm(QWidget* parent) : TSkinUnitTemplateForm(TKELDARSkinnedWindow::Library, parent) {
  g_library = this;
  setObjectName("TKELDAR_DatabaseForm");
  setWindowTitle("Library");
  m_model = new TLibraryTableModel(m_library, m_rows, this);
  m_grid = new TLibraryGridView(DBScrollBox());
  m_grid->setObjectName("LibraryGrid");
  m_grid->setModel(m_model);
  m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_grid->horizontalHeader()->setSectionsMovable(true);
  m_grid->horizontalHeader()->setSectionsClickable(true);
  m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int logical) {
    if (logical > 0) SortByGridColumn(logical);
  });
  connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex& index) { AddAlbumOfRow(index.row()); });
  connect(m_grid->horizontalHeader(), &QHeaderView::sectionMoved, this, [this](int, int, int) {
    // The moved order is stored as the headers now stand, read back through their ids.
    QHeaderView* header = m_grid->horizontalHeader();
    std::vector<int> ids;
    for (int visual = 1; visual < header->count(); ++visual)
      ids.push_back(LibraryColumnIdOfHeader(m_model->headerData(header->logicalIndex(visual), Qt::Horizontal,
                                                                Qt::DisplayRole).toString().toStdString()));
    Options_Lib_ColumnsOrderString.StringValue = FormatLibraryColumnsOrder(ids);
  });
  connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
    if (auto* setting = LibraryColumnWidthSetting(m_model->ColumnId(logical)); setting && size > 0)
      setting->IntegerValue = size;
  });
  // A double click on a column border stores the widths as they stand (the grid keeps them).
  connect(m_grid->horizontalHeader(), &QHeaderView::sectionHandleDoubleClicked, this, [this] { StoreColumnWidths(); });
  // The right button is the window's own: its press keeps the selection (the row menu acts on
  // the rows selected before it), its release on a cell opens the row menu.
  m_grid->setContextMenuPolicy(Qt::PreventContextMenu);
  m_grid->viewport()->installEventFilter(this);
  m_grid->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_grid->horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
          [this](const QPoint& at) { ShowLibraryHeaderMenu(*this, m_grid->horizontalHeader()->mapToGlobal(at)); });
  m_artwork = new QLabel(m_grid->viewport());
  m_artwork->setObjectName("LibraryArtwork");
  m_artwork->setScaledContents(true);
  m_artwork->hide();
  m_artwork->installEventFilter(this);  // a double click on the picture shows the song's information
  connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { PlaceArtworkPanel(); });
  connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
    PlaceArtworkPanel();
    if (m_applyingScrollTrack) return;
    const int maximum = m_grid->verticalScrollBar()->maximum();
    const int value = maximum > 0 ? 100 - static_cast<int>((100LL * v) / maximum) : 100;
    if (GetSkinControlValue(CDDatabaseForm_DBScrollImage) == value) return;
    SetSkinSliderValue(CDDatabaseForm_DBScrollImage, value);
    update();
  });
  connect(m_grid->horizontalHeader(), &QHeaderView::sectionResized, this, [this] { PlaceArtworkPanel(); });
  AddFilesToPlaylist = [](const std::vector<std::string>& paths) { ProccessAddedFiles(paths, true); };
  m_timer1.SetWork([this] { Timer1Timer(); });
  ApplyText(m_text);
}

bool TKELDAR_DatabaseForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_artwork && event->type() == QEvent::MouseButtonDblClick) {
    ViewFileInfo();
    return true;
  }
  if (watched == m_grid->viewport() &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
       event->type() == QEvent::MouseButtonDblClick)) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton) return false;
    if (event->type() == QEvent::MouseButtonRelease) {
      const QModelIndex index = m_grid->indexAt(mouse->position().toPoint());
      if (index.isValid()) {
        // With one row (or none) selected, the clicked row becomes the selection.
        if (SelectedRows().size() <= 1) {
          m_grid->setCurrentIndex(index);
          m_grid->selectRow(index.row());
        }
        ShowLibraryRowMenu(*this, mouse->globalPosition().toPoint());
      }
    }
    return true;
  }
  return TSkinUnitTemplateForm::eventFilter(watched, event);
}

void TKELDAR_DatabaseForm::ApplyText(const TKELDARSkinTextSettings& text) {
  m_text = text;
  ApplySkinTextToWidget(*DBScrollBox(), text);
  setFont(KELDARSkinTextFont(text));
  if (m_grid) m_grid->SetSkinText(text);
}

void TKELDAR_DatabaseForm::ContentAreaChanged() {
  if (m_grid) m_grid->setGeometry(DBScrollBox()->rect());
}

QTableView* TKELDAR_DatabaseForm::Grid() const { return m_grid; }

const std::vector<int>& TKELDAR_DatabaseForm::Columns() const { return m_model->Columns(); }

void TKELDAR_DatabaseForm::showEvent(QShowEvent* event) {
  TSkinUnitTemplateForm::showEvent(event);
  if (!event->spontaneous() && !m_loaded) ShowLibrary();
}

void TKELDAR_DatabaseForm::hideEvent(QHideEvent* event) {
  TSkinUnitTemplateForm::hideEvent(event);
  if (!event->spontaneous() && m_loaded) HideLibrary();
}

void TKELDAR_DatabaseForm::BuildColumns() {
  std::vector<int> ids{0};
  for (int id : LibraryColumnsOrderOrDefault(Options_Lib_ColumnsOrderString.StringValue)) ids.push_back(id);
  m_model->SetColumns(ids);
  ApplyColumnWidths();
}

void TKELDAR_DatabaseForm::ApplyColumnWidths() {
  const std::vector<int>& ids = m_model->Columns();
  QHeaderView* header = m_grid->horizontalHeader();
  for (int c = 0; c < static_cast<int>(ids.size()); ++c) {
    const SettingsVariableIntegerRecord* setting = LibraryColumnWidthSetting(ids[static_cast<std::size_t>(c)]);
    const int width = setting ? setting->IntegerValue : kLibraryDefaultColumnWidth;
    // Width -1 hides a column; its last width stays in the header for showing it again.
    header->setSectionHidden(c, width < 0);
    if (width >= 0) header->resizeSection(c, width);
  }
}

void TKELDAR_DatabaseForm::StoreColumnWidths() {
  QHeaderView* header = m_grid->horizontalHeader();
  const std::vector<int>& ids = m_model->Columns();
  for (int c = 0; c < static_cast<int>(ids.size()); ++c) {
    SettingsVariableIntegerRecord* setting = LibraryColumnWidthSetting(ids[static_cast<std::size_t>(c)]);
    if (setting && !header->isSectionHidden(c) && header->sectionSize(c) > 0) setting->IntegerValue = header->sectionSize(c);
  }
}

void TKELDAR_DatabaseForm::ShowLibrary() {
  BuildColumns();
  m_sortedColumn = -1;
  m_ascending = false;
  m_grid->Header()->SetSortedSection(-1, false);
  m_fileState = LoadLibrary(m_library, LibrarySongsFilePath());
  m_rows.Reset(m_library);
  m_loaded = true;
  Refresh();
}

void TKELDAR_DatabaseForm::HideLibrary() {
  SaveLibrary(m_library, m_fileState, LibrarySongsFilePath());
  ClearLibrary(m_library, m_rows);
  m_library.SetChanged(false);
  m_loaded = false;
  Refresh();
}

void TKELDAR_DatabaseForm::Refresh() {
  m_model->Refresh();
  PlaceArtworkPanel();
}

bool TKELDAR_DatabaseForm::AddToLibrary(TLibraryForSongsItem item) {
  if (!AddToLibraryGrid(m_library, m_rows, std::move(item))) return false;
  m_model->Refresh();
  return true;
}

void TKELDAR_DatabaseForm::SortByGridColumn(int gridColumn) {
  const int id = m_model->ColumnId(gridColumn);
  if (id < 0) return;
  // Ties go to the next column shown after it, as the grid stands.
  QHeaderView* header = m_grid->horizontalHeader();
  int nextId = -1;
  for (int visual = header->visualIndex(gridColumn) + 1; visual < header->count(); ++visual) {
    const int logical = header->logicalIndex(visual);
    if (!header->isSectionHidden(logical)) {
      nextId = m_model->ColumnId(logical);
      break;
    }
  }
  m_ascending = !m_ascending;
  SortLibraryRows(m_library, m_rows, id, nextId, m_ascending);
  m_sortedColumn = gridColumn;
  m_grid->Header()->SetSortedSection(gridColumn, m_ascending);
  Refresh();
}

void TKELDAR_DatabaseForm::AddAlbumOfRow(int row) {
  if (row < 0 || row >= m_rows.Count()) return;
  const int position = m_rows.Rows[static_cast<std::size_t>(row)];
  if (IsLibraryCDTrack(m_library.Item(position).Lib_FullPathAndFilename)) {
    ShowMessage(kCDTrackText);
    return;
  }
  const std::vector<std::string> paths = LibraryAlbumPaths(m_library, position);
  if (!paths.empty() && AddFilesToPlaylist) AddFilesToPlaylist(paths);
}

std::vector<int> TKELDAR_DatabaseForm::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : m_grid->selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void TKELDAR_DatabaseForm::AddSelectedToPlaylist() {
  std::vector<std::string> paths;
  for (int row : SelectedRows()) {
    const TLibraryForSongsItem& item = m_library.Item(m_rows.Rows[static_cast<std::size_t>(row)]);
    if (IsLibraryCDTrack(item.Lib_FullPathAndFilename)) ShowMessage(kCDTrackText);
    else paths.push_back(item.Lib_FullPathAndFilename);
  }
  if (!paths.empty() && AddFilesToPlaylist) AddFilesToPlaylist(paths);
}

void TKELDAR_DatabaseForm::RemoveSelected() {
  const std::vector<int> rows = SelectedRows();
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) RemoveLibraryRow(m_library, m_rows, *it);
  m_grid->clearSelection();
  Refresh();
}

void TKELDAR_DatabaseForm::RemoveAllItems() {
  ClearLibrary(m_library, m_rows);
  Refresh();
}

bool TKELDAR_DatabaseForm::FindText(const std::string& text, int gridColumn) {
  const int current = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : -1;
  const int row = FindLibraryRow(m_library, m_rows, m_model->ColumnId(gridColumn), text, current + 1);
  if (row >= 0) {
    m_grid->setCurrentIndex(m_model->index(row, gridColumn));  // selects the row as well
    ShowMessage("Search String '" + text + "' Found", "Information");
  } else {
    ShowMessage("Search String '" + text + "' NOT Found", "Information");
  }
  return row >= 0;
}

void TKELDAR_DatabaseForm::ImportLocalCDDB() {
  QProgressDialog progress("Loading local freedb CD Entries", "Cancel", 0, 10, this);
  progress.setWindowTitle("Loading local freedb CD Entries");
  progress.setMinimumDuration(0);
  ImportLocalCDDBIntoLibrary(m_library, m_rows, ProgramFolder() + "/localcddatabase", [&progress](int category) {
    progress.setValue(category);
    progress.setLabelText(QString("Accessing entry :%1").arg(category));
    return !progress.wasCanceled();
  });
  Refresh();
}

void TKELDAR_DatabaseForm::Timer1Timer() {
  // The count of songs: an empty library shows 0, not the grid's one blank row.
  const std::string text = "Total Songs: " + std::to_string(m_rows.Count());
  if (GetSkinControlText(CDDatabaseForm_DBTextWindow) == text) return;
  SetSkinControlText(CDDatabaseForm_DBTextWindow, text);
  SetSkinControlProcessedText(CDDatabaseForm_DBTextWindow, text);
  update();
}

int TKELDAR_DatabaseForm::CurrentPosition() const {
  const QModelIndex current = m_grid->currentIndex();
  if (!current.isValid() || current.row() >= m_rows.Count()) return -1;
  return m_rows.Rows[static_cast<std::size_t>(current.row())];
}

void TKELDAR_DatabaseForm::ViewFileInfo() {
  const int position = CurrentPosition();
  if (position < 0) return;
  const TLibraryForSongsItem& song = m_library.Item(position);
  if (IsLibraryCDTrack(song.Lib_FullPathAndFilename)) {
    // The disc's entry in the CD editor, found by the disc ID stored with the song (the disc need
    // not be in a drive). No freedb lookup: with no drive named, the server's answer would be
    // for whatever disc happens to be in the drive.
    EditCDTrackInformation(song.Lib_FullPathAndFilename, false, song.Lib_CDDB_ID);
  } else {
    if (!PlaylistWindowHooks().ShowTagEditor) return;
    TPlayListBoxItem item;
    item.FullPathAndFilename = song.Lib_FullPathAndFilename;
    item.ArtistName = song.Lib_ArtistName;
    item.TitleName = song.Lib_TitleName;
    item.AlbumName = song.Lib_AlbumName;
    PlaylistWindowHooks().ShowTagEditor(item, song.Lib_FullPathAndFilename, song.Lib_FullPathAndFilename);
  }
  m_artworkDrawn = false;  // the editor may have changed the picture
  PlaceArtworkPanel();
}

void TKELDAR_DatabaseForm::OpenContainingFolder() {
  const int position = CurrentPosition();
  if (position < 0) return;
  std::string folder = ExtractFilePath(m_library.Item(position).Lib_FullPathAndFilename);
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (folder.empty()) return;
  if (PlaylistWindowHooks().OpenFolder) PlaylistWindowHooks().OpenFolder(folder);
  else ShellOpenDocument(folder);
}

void TKELDAR_DatabaseForm::PlaceArtworkPanel() {
  const int artColumn = static_cast<int>(std::find(m_model->Columns().begin(), m_model->Columns().end(),
                                                   kLibraryArtWorkColumnId) - m_model->Columns().begin());
  const int position = CurrentPosition();
  const int row = m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : 0;
  if (artColumn >= static_cast<int>(m_model->Columns().size()) || m_grid->isColumnHidden(artColumn) ||
      m_rows.Count() == 0) {
    m_artwork->hide();
    return;
  }
  // A square as wide as the column, over the current row's cell; kept inside the grid.
  const QRect cell = m_grid->visualRect(m_model->index(row, artColumn));
  const int side = m_grid->columnWidth(artColumn);
  const int bottom = m_grid->viewport()->height();
  int top = cell.top();
  if (top + side > bottom) top = bottom - side;
  if (top < 0) top = 0;
  m_artwork->setGeometry(cell.left(), top, side, side);
  const TLibraryForSongsItem* song = position >= 0 ? &m_library.Item(position) : &m_library.Item(m_rows.Rows[0]);
  const std::string album = UpperCaseAscii(song->Lib_AlbumName);
  if (!m_artworkDrawn || album != m_artworkAlbum) {
    QImage picture = LoadArtwork ? LoadArtwork(*song) : QImage();
    if (picture.isNull()) picture = FallbackArtwork(side);
    m_artwork->setPixmap(QPixmap::fromImage(picture));
    m_artworkAlbum = album;
    m_artworkDrawn = true;
  }
  m_artwork->show();
}

void TKELDAR_DatabaseForm::ScrollToTrackValue(int value) {
  QScrollBar* bar = m_grid->verticalScrollBar();
  m_applyingScrollTrack = true;
  bar->setValue(static_cast<int>((static_cast<long long>(bar->maximum()) * (100 - std::clamp(value, 0, 100))) / 100));
  m_applyingScrollTrack = false;
}
