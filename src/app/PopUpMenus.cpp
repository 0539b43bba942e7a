#include "app/PopUpMenus.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <memory>

#include "app/CommandActions.h"
#include "util/ShowMessage.h"

const char* const kPopUpMenuPagesMissingText = "Error: Check if PopUp Menu and NoteBook.ActivePage Strings are Correct";

namespace {

std::unique_ptr<QMenu>& MenuHolder() {
  static std::unique_ptr<QMenu> menu;
  return menu;
}

// Menus are widgets: they must go before the application object does.
void ReleaseMainPopUpMenu() { MenuHolder().reset(); }

bool TreeHas(std::span<const TPreferencesPageNode> tree, const char* caption) {
  return std::any_of(tree.begin(), tree.end(),
                     [caption](const TPreferencesPageNode& node) { return std::strcmp(node.Caption, caption) == 0; });
}

void AddWindowSwitch(QMenu& menu, const char* caption, KELDARSkinControls_IDs button) {
  CreatePopupMenuItem(menu, caption, [button](QAction&) { FlipSkinButtonAndRunAction(button); });
}

}  // namespace

QAction* CreatePopupMenuItem(QMenu& parent, const QString& caption, TPopupMenuItemAction action) {
  QAction* entry = parent.addAction(caption);
  if (action) QObject::connect(entry, &QAction::triggered, entry, [entry, action] { action(*entry); });
  return entry;
}

std::string PreferencesPageOfCaption(const QString& caption) {
  QString page = caption;
  const qsizetype amp = page.indexOf(QLatin1Char('&'));
  if (amp >= 0) page.remove(amp, 1);
  return page.toStdString();
}

void MyShow(QAction& entry) { CommandShowPreferencesPage(PreferencesPageOfCaption(entry.text())); }

void CreatePopUpMenus(QMenu& menu, std::span<const TPreferencesPageNode> tree) {
  menu.clear();
  const TPopupMenuItemAction show = [](QAction& entry) { MyShow(entry); };
  QMenu* submenu = nullptr;
  for (std::size_t i = 0; i < tree.size(); ++i) {
    const TPreferencesPageNode& node = tree[i];
    const QString caption = QString::fromUtf8(node.Caption);
    if (i + 1 == tree.size() && i > 0) {
      menu.addSeparator();
      AddWindowSwitch(menu, "Equalizer", DeckForm_EQButton);
      AddWindowSwitch(menu, "Playlist Editor", DeckForm_PLButton);
      AddWindowSwitch(menu, "Visuals Screen", DeckForm_VisExButton);
      AddWindowSwitch(menu, "CD Database", DeckForm_DBButton);
      menu.addSeparator();
    }
    if (node.Level == 0) {
      const bool hasChildren = i + 1 < tree.size() && tree[i + 1].Level > 0;
      if (hasChildren) {
        submenu = menu.addMenu(caption);
      } else {
        submenu = nullptr;
        CreatePopupMenuItem(menu, caption, show);
      }
    } else {
      // A child without a top-level node before it still gets its entry.
      CreatePopupMenuItem(submenu ? *submenu : menu, caption, show);
    }
    if (i == 0) menu.addSeparator();
  }
  CreatePopupMenuItem(menu, "Check for Updates", [](QAction&) { CommandCheckForUpdates(); });
  menu.addSeparator();
  CreatePopupMenuItem(menu, "Exit", [](QAction&) { CommandCloseMainWindow(); });

  if (!TreeHas(tree, "VIS Plugins") || !TreeHas(tree, "DSP Plugins") || !TreeHas(tree, "Encoders Options") ||
      !TreeHas(tree, "Help"))
    ShowMessage(kPopUpMenuPagesMissingText, {}, TMessageIcon::Error);
  const std::span<const char* const> pages = PreferencesNotebookPages();
  CommandSelectPreferencesPage(pages.empty() ? std::string() : std::string(pages.front()));
}

QMenu& MainPopUpMenu() {
  std::unique_ptr<QMenu>& menu = MenuHolder();
  if (!menu) {
    menu = std::make_unique<QMenu>();
    menu->setObjectName("MainPopUpMenu");
    qAddPostRoutine(ReleaseMainPopUpMenu);
  }
  return *menu;
}

void BuildMainPopUpMenu() { CreatePopUpMenus(MainPopUpMenu()); }

void ShowMainPopUpMenu(const QPoint& globalPosition) { MainPopUpMenu().popup(globalPosition); }
