#include "dialogs/OpenURLDialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ShowMessage.h"

namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QTableWidgetItem* item) { return item ? item->text().toStdString() : std::string(); }
}  // namespace

TOpenURLDialogForm::TOpenURLDialogForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TOpenURLDialogForm");
  setWindowTitle("Add URL to Playlist");

  auto* addGroup = new QGroupBox("ADD New URL to Playlist");
  m_newURL = new QLineEdit;
  m_newURL->setObjectName("ADDNewURLtoPLLabeledEdit");
  auto* addButton = new QPushButton("ADD to Playlist");
  addButton->setObjectName("ADDNEWURLTOPlaylistButton");
  auto* addLayout = new QGridLayout(addGroup);
  addLayout->addWidget(new QLabel("Enter new URL:"), 0, 0);
  addLayout->addWidget(m_newURL, 1, 0);
  addLayout->addWidget(addButton, 1, 1);

  auto* favGroup = new QGroupBox("Favourite URLs:");
  m_grid = new QTableWidget(0, 3);
  m_grid->setObjectName("FavouriteURLsStringGrid");
  m_grid->setHorizontalHeaderLabels({"Index", "URL of Internet Station", "Description"});
  m_grid->verticalHeader()->hide();
  m_grid->setColumnWidth(0, 32);
  m_grid->setColumnWidth(1, 270);
  m_grid->setColumnWidth(2, 161);
  m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
  m_grid->viewport()->installEventFilter(this);
  auto* removeButton = new QPushButton("Remove URL from favourites");
  removeButton->setObjectName("RemoveURLButton");
  auto* toPlaylistButton = new QPushButton("Add Selected To Playlist");
  toPlaylistButton->setObjectName("AddToPlaylistButton");
  auto* newFavouriteButton = new QPushButton("Add New URL to favourites");
  newFavouriteButton->setObjectName("AddNewURLButton");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(removeButton);
  buttons->addWidget(toPlaylistButton);
  buttons->addWidget(newFavouriteButton);
  auto* favLayout = new QVBoxLayout(favGroup);
  favLayout->addWidget(m_grid, 1);
  favLayout->addLayout(buttons);

  auto* examples = new QLabel(
      "URL Examples:\nhttp://radio.example.org:8000/stream.ogg\nhttp://music.example.net/live/station.mp3");
  examples->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(addGroup);
  layout->addWidget(favGroup, 1);
  layout->addWidget(examples);
  resize(520, 420);

  m_menu = new QMenu(this);
  m_menu->setObjectName("FavouritesPopupMenu");
  m_menu->addAction("Add Selected to Playlist", this, [this] { AddSelectedtoPlaylist1Click(); });
  m_menu->addSeparator();
  m_menu->addAction("Remove Selected from favourites", this, [this] { DeleteSelected1Click(); });
  m_menu->addSeparator();
  m_menu->addAction("Add New URL to favourites", this, [this] { AddnewURL1Click(); });

  connect(addButton, &QPushButton::clicked, this, [this] { ADDNEWURLTOPlaylistButtonClick(); });
  connect(m_newURL, &QLineEdit::returnPressed, this, [this] { ADDNEWURLTOPlaylistButtonClick(); });
  connect(removeButton, &QPushButton::clicked, this, [this] { DeleteSelected1Click(); });
  connect(toPlaylistButton, &QPushButton::clicked, this, [this] { AddSelectedtoPlaylist1Click(); });
  connect(newFavouriteButton, &QPushButton::clicked, this, [this] { AddnewURL1Click(); });
  connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this] { AddSelectedtoPlaylist1Click(); });
  connect(m_grid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!m_filling) FavouriteURLsStringGridSetEditText(item->row() + 1, item->column(), S(item));
  });
}

void TOpenURLDialogForm::showEvent(QShowEvent* event) {
  LoadURLFavouritesFromFile();
  QDialog::showEvent(event);
}

void TOpenURLDialogForm::hideEvent(QHideEvent* event) {
  SaveURLFavouritesToFile();
  QDialog::hideEvent(event);
}

void TOpenURLDialogForm::LoadURLFavouritesFromFile() {
  m_favourites = LoadURLFavouritesFile(URLFavouritesFilePath());
  UpdateAllControlsWithNewURLFavouritesData();
}

void TOpenURLDialogForm::SaveURLFavouritesToFile() { SaveURLFavouritesFile(m_favourites, URLFavouritesFilePath()); }

void TOpenURLDialogForm::SetRow(int row, const URLFavouriteStructure& favourite) {
  m_grid->setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
  m_grid->item(row, 0)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  m_grid->setItem(row, 1, new QTableWidgetItem(Q(favourite.URLLink)));
  m_grid->setItem(row, 2, new QTableWidgetItem(Q(favourite.URLDescription)));
}

void TOpenURLDialogForm::UpdateAllControlsWithNewURLFavouritesData() {
  m_filling = true;
  m_grid->clearContents();
  m_grid->setRowCount(m_favourites.TotalURLFavourites + 1);
  for (int row = 0; row < m_favourites.TotalURLFavourites; ++row)
    SetRow(row, m_favourites.CurrentURLFavourites[size_t(row)]);
  m_grid->setItem(m_favourites.TotalURLFavourites, 0, new QTableWidgetItem);
  m_grid->item(m_favourites.TotalURLFavourites, 0)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  m_grid->setItem(m_favourites.TotalURLFavourites, 1, new QTableWidgetItem);
  m_grid->setItem(m_favourites.TotalURLFavourites, 2, new QTableWidgetItem);
  m_filling = false;
}

void TOpenURLDialogForm::FavouriteURLsStringGridSetEditText(int row, int column, const std::string& text) {
  // Rows count from 1 as in the file; column 1 is the link, column 2 the description.
  if (row < 1 || row > URLFavouritesStructure::kMaxFavourites || (column != 1 && column != 2)) return;
  auto& table = m_favourites;
  if (row == table.TotalURLFavourites + 1) {
    // The empty row becomes a new favourite and a new empty row follows it.
    table.CurrentURLFavourites.push_back({});
    table.TotalURLFavourites = row;
    m_filling = true;
    if (m_grid->item(row - 1, 0)) m_grid->item(row - 1, 0)->setText(QString::number(row));
    if (row < URLFavouritesStructure::kMaxFavourites) {
      m_grid->setRowCount(row + 1);
      m_grid->setItem(row, 0, new QTableWidgetItem);
      m_grid->item(row, 0)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      m_grid->setItem(row, 1, new QTableWidgetItem);
      m_grid->setItem(row, 2, new QTableWidgetItem);
    }
    m_filling = false;
  }
  if (row > table.TotalURLFavourites) return;
  std::string value = text;
  std::erase(value, ';');
  URLFavouriteStructure& favourite = table.CurrentURLFavourites[size_t(row - 1)];
  (column == 1 ? favourite.URLLink : favourite.URLDescription) = value;
}

void TOpenURLDialogForm::AppendFavourite(const std::string& link, const std::string& description) {
  const int row = m_favourites.TotalURLFavourites + 1;
  if (row > URLFavouritesStructure::kMaxFavourites) return;
  FavouriteURLsStringGridSetEditText(row, 1, link);
  FavouriteURLsStringGridSetEditText(row, 2, description);
  m_filling = true;
  if (m_grid->item(row - 1, 1)) m_grid->item(row - 1, 1)->setText(Q(m_favourites.CurrentURLFavourites.back().URLLink));
  if (m_grid->item(row - 1, 2))
    m_grid->item(row - 1, 2)->setText(Q(m_favourites.CurrentURLFavourites.back().URLDescription));
  m_filling = false;
}

void TOpenURLDialogForm::AddnewURL1Click() {
  m_grid->setCurrentCell(m_favourites.TotalURLFavourites, 1);
  m_grid->setFocus();
}

void TOpenURLDialogForm::RebuildTableFromGrid() {
  m_favourites = {};
  const int favourites = std::max(0, m_grid->rowCount() - 1);
  for (int row = 0; row < favourites && row < URLFavouritesStructure::kMaxFavourites; ++row) {
    m_favourites.CurrentURLFavourites.push_back({S(m_grid->item(row, 1)), S(m_grid->item(row, 2))});
    ++m_favourites.TotalURLFavourites;
  }
}

void TOpenURLDialogForm::DeleteSelected1Click() {
  const int row = m_grid->currentRow();
  // The empty row is where new favourites are typed; it stays.
  if (row < 0 || row >= m_favourites.TotalURLFavourites) return;
  m_grid->removeRow(row);
  RebuildTableFromGrid();
  UpdateAllControlsWithNewURLFavouritesData();
  m_grid->setCurrentCell(std::min(row, m_favourites.TotalURLFavourites), 1);
}

void TOpenURLDialogForm::AddAddress(const std::string& url) {
  if (!IsURL(url)) {
    ShowMessage(url + " is not a valid URL");
    return;
  }
  if (AddURLToPlayList) AddURLToPlayList(url);
}

void TOpenURLDialogForm::AddSelectedtoPlaylist1Click() {
  const int row = m_grid->currentRow();
  if (row < 0 || row >= m_favourites.TotalURLFavourites) return;
  AddAddress(m_favourites.CurrentURLFavourites[size_t(row)].URLLink);
}

void TOpenURLDialogForm::ADDNEWURLTOPlaylistButtonClick() {
  const std::string text = m_newURL->text().toStdString();
  m_newURL->clear();
  AddAddress(text);
  hide();
}

void TOpenURLDialogForm::ShowFavouritesMenuAt(const QPoint& globalPointer) {
  m_menu->popup(globalPointer + QPoint(0, 20));
}

bool TOpenURLDialogForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonPress) {
    auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() == Qt::RightButton) {
      const QModelIndex index = m_grid->indexAt(press->position().toPoint());
      if (index.isValid()) m_grid->setCurrentCell(index.row(), index.column());
      ShowFavouritesMenuAt(press->globalPosition().toPoint());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
