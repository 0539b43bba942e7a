#include "app/TrayMenu.h"

#include <QCoreApplication>

#include <memory>

#include "app/CommandActions.h"

namespace {

std::unique_ptr<QMenu>& MenuHolder() {
  static std::unique_ptr<QMenu> menu;
  return menu;
}

// Menus are widgets: they must go before the application object does.
void ReleaseTrayMenu() { MenuHolder().reset(); }

void AddEntry(QMenu& menu, const char* caption, void (*command)()) {
  QAction* entry = menu.addAction(QString::fromUtf8(caption));
  QObject::connect(entry, &QAction::triggered, entry, [command] { command(); });
}

}  // namespace

void CreateTrayControlsPopupMenu(QMenu& menu) {
  menu.clear();
  AddEntry(menu, "Show Zorvane Audio Player", CommandShowMainForm);
  menu.addSeparator();
  AddEntry(menu, "Previous File", CommandPrevious);
  AddEntry(menu, "Play Current File", CommandPlay);
  AddEntry(menu, "Pause", CommandPause);
  AddEntry(menu, "Stop", CommandStop);
  AddEntry(menu, "Next File", CommandNext);
  menu.addSeparator();
  AddEntry(menu, "Exit", CommandCloseMainWindow);
}

QMenu& TrayControlsPopupMenu() {
  std::unique_ptr<QMenu>& menu = MenuHolder();
  if (!menu) {
    menu = std::make_unique<QMenu>();
    menu->setObjectName("TrayControlsPopupMenu");
    CreateTrayControlsPopupMenu(*menu);
    qAddPostRoutine(ReleaseTrayMenu);
  }
  return *menu;
}
