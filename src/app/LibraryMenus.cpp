#include "app/LibraryMenus.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QMenu>
#include <QTableView>

#include "app/KELDAR_DatabaseForm.h"
#include "app/LaterDialogHooks.h"
#include "cd/LibraryColumns.h"
#include "settings/SettingsFunctionsToINIFiles.h"

namespace {

const char* const kColumnBoxes[16] = {"Index",         "Artist",         "Album",
                                      "Song Title",    "Album Genre",    "Album Year",
                                      "Track Number",  "Filename",       "File Extension",
                                      "File Playback Length", "File Size", "File Date",
                                      "Title Rating",  "CDDB ID",        "Display ArtWork",
                                      "Full Filename"};

// Widths a hidden column had before, for showing it again (kept while the program runs).
std::array<int, 16>& RememberedWidths() {
  static std::array<int, 16> widths{};
  return widths;
}

}  // namespace

void ShowLibraryRowMenu(TKELDAR_DatabaseForm& library, const QPoint& at) {
  QMenu menu(&library);
  menu.addAction("View File Info", &library, [&library] { library.ViewFileInfo(); });
  menu.addAction("Open Containing Folder", &library, [&library] { library.OpenContainingFolder(); });
  menu.addSeparator();
  menu.addAction("Add Selected To Playlist", &library, [&library] { library.AddSelectedToPlaylist(); });
  menu.addSeparator();
  menu.addAction("Search Library", &library,
                 [] { RunLaterDialogHook(LaterDialogHooks().ShowLibraryFindDialog); });
  menu.addAction("Sort Library", &library,
                 [] { RunLaterDialogHook(LaterDialogHooks().ShowLibrarySortDialog); });
  menu.addSeparator();
  menu.addAction("Remove Selected", &library, [&library] { library.RemoveSelected(); });
  menu.exec(at);
}

void ShowLibraryHeaderMenu(TKELDAR_DatabaseForm& library, const QPoint& at) {
  QMenu menu(&library);
  menu.addAction("Select Visible Columns", &library, [&library] { ShowLibraryColumnsDialog(library); });
  menu.exec(at);
}

void ApplyLibraryColumnChoice(const std::array<bool, 16>& ticked, std::array<int, 16>& widths,
                              std::array<int, 16>& remembered) {
  for (std::size_t id = 0; id < 16; ++id) {
    if (ticked[id]) {
      if (widths[id] < 0) widths[id] = remembered[id] > 0 ? remembered[id] : kLibraryDefaultColumnWidth;
    } else {
      if (widths[id] >= 0) remembered[id] = widths[id];
      widths[id] = -1;
    }
  }
}

bool ShowLibraryColumnsDialog(TKELDAR_DatabaseForm& library) {
  QDialog dialog(&library);
  dialog.setWindowTitle("Select Library Columns to Display");
  auto* layout = new QGridLayout(&dialog);
  std::array<QCheckBox*, 16> boxes{};
  std::array<int, 16> widths{};
  for (int id = 0; id < 16; ++id) {
    widths[static_cast<std::size_t>(id)] = LibraryColumnWidthSetting(id)->IntegerValue;
    boxes[static_cast<std::size_t>(id)] = new QCheckBox(kColumnBoxes[id], &dialog);
    boxes[static_cast<std::size_t>(id)]->setChecked(widths[static_cast<std::size_t>(id)] != -1);
    layout->addWidget(boxes[static_cast<std::size_t>(id)], id % 8, id / 8);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons, 8, 0, 1, 2);
  if (dialog.exec() != QDialog::Accepted) return false;
  std::array<bool, 16> ticked{};
  for (std::size_t id = 0; id < 16; ++id) ticked[id] = boxes[id]->isChecked();
  ApplyLibraryColumnChoice(ticked, widths, RememberedWidths());
  for (int id = 0; id < 16; ++id) LibraryColumnWidthSetting(id)->IntegerValue = widths[static_cast<std::size_t>(id)];
  library.ApplyColumnWidths();
  return true;
}
