// Minimizing to the system tray: with Options_MinimizeToTrayState set, minimizing the main
// window hides it (and its taskbar button) and shows the tray icon, animated for a moment,
// with a balloon; restoring, a double click on the icon or the tray menu's first entry bring
// the window back and hide the icon. The other player windows follow the main window: they
// are minimized (or, to the tray, hidden) with it and those that were shown come back with it.
// UI thread only.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <vector>

// Set on a player window while it is put away with the main window: it still counts as shown
// (its visibility setting is kept when the player exits from the tray).
inline constexpr char kPutAwayWithMainWindow[] = "keldarPutAwayWithMainWindow";

class TDeckTray : public QObject {
  Q_OBJECT
 public:
  // Watches `mainWindow` for minimizing; the tray menu is the program's tray menu.
  explicit TDeckTray(QWidget& mainWindow, QObject* parent = nullptr);

  // Hides the main window and its taskbar button; shows the icon and its balloon.
  void HideMainForm();
  // Restores, un-minimizes, shows and raises the main window; hides the icon.
  void ShowMainForm();

  // The player windows besides the main one that follow it (null entries are ignored).
  void SetCompanionWindows(std::vector<QWidget*> windows);

  bool IconShown() const { return m_iconShown; }
  const QSystemTrayIcon& Icon() const { return m_icon; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Animate();
  // The shown companions are noted and minimized, or hidden when going to the tray.
  void PutCompanionsAway(bool toTray);
  // The noted companions are shown again, un-minimized.
  void BringCompanionsBack();

  QWidget& m_main;
  QSystemTrayIcon m_icon;
  QTimer m_animation;
  std::vector<QIcon> m_frames;
  int m_frame = 0;
  bool m_iconShown = false;
  std::vector<QPointer<QWidget>> m_companions;
  std::vector<QPointer<QWidget>> m_putAway;
};
