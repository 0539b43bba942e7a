#include "app/DeckTray.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

#include "app/TrayMenu.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/VersionInfo.h"

namespace {

constexpr int kAnimationFrames = 8;
constexpr int kAnimationIntervalMs = 120;

// A disc whose light sweeps round once over the frames.
QIcon AnimationFrame(int frame) {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(0x1E, 0x5C, 0xA8));
  p.setPen(QColor(0xCD, 0xEC, 0xFE));
  p.drawEllipse(2, 2, 28, 28);
  p.setBrush(QColor(0xCD, 0xEC, 0xFE));
  p.drawPie(4, 4, 24, 24, frame * (360 / kAnimationFrames) * 16, 45 * 16);
  return QIcon(pixmap);
}

}  // namespace

TDeckTray::TDeckTray(QWidget& mainWindow, QObject* parent) : QObject(parent), m_main(mainWindow) {
  for (int i = 0; i < kAnimationFrames; ++i) m_frames.push_back(AnimationFrame(i));
  m_icon.setIcon(m_frames.front());
  m_icon.setToolTip(KELDAR_PRODUCT_NAME);
  m_icon.setContextMenu(&TrayControlsPopupMenu());
  m_animation.setInterval(kAnimationIntervalMs);
  connect(&m_animation, &QTimer::timeout, this, &TDeckTray::Animate);
  connect(&m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) ShowMainForm();
  });
  m_main.installEventFilter(this);
}

void TDeckTray::SetCompanionWindows(std::vector<QWidget*> windows) {
  m_companions.clear();
  for (QWidget* w : windows)
    if (w != nullptr && w != &m_main) m_companions.emplace_back(w);
}

void TDeckTray::PutCompanionsAway(bool toTray) {
  for (const QPointer<QWidget>& w : m_companions) {
    if (!w || !w->isVisible()) continue;
    if (std::find(m_putAway.begin(), m_putAway.end(), w) == m_putAway.end()) m_putAway.push_back(w);
    w->setProperty(kPutAwayWithMainWindow, true);
    if (toTray) w->hide();
    else w->setWindowState(w->windowState() | Qt::WindowMinimized);
  }
}

void TDeckTray::BringCompanionsBack() {
  for (const QPointer<QWidget>& w : m_putAway) {
    if (!w) continue;
    w->setProperty(kPutAwayWithMainWindow, false);
    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->show();
  }
  m_putAway.clear();
}

void TDeckTray::HideMainForm() {
  PutCompanionsAway(true);
  m_main.hide();
  m_iconShown = true;
  m_frame = 0;
  m_icon.setIcon(m_frames.front());
  m_icon.show();
  m_animation.start();
  if (QSystemTrayIcon::supportsMessages())
    m_icon.showMessage(KELDAR_PRODUCT_NAME, m_main.windowTitle(),
                       QSystemTrayIcon::Information, 3000);
}

void TDeckTray::ShowMainForm() {
  m_animation.stop();
  m_icon.hide();
  m_iconShown = false;
  m_main.setWindowState(m_main.windowState() & ~Qt::WindowMinimized);
  m_main.show();
  BringCompanionsBack();
  m_main.raise();
  m_main.activateWindow();
}

void TDeckTray::Animate() {
  // One sweep round the disc, then it rests.
  if (++m_frame >= kAnimationFrames) {
    m_animation.stop();
    m_frame = 0;
  }
  m_icon.setIcon(m_frames[static_cast<size_t>(m_frame)]);
}

bool TDeckTray::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &m_main && event->type() == QEvent::WindowStateChange) {
    const bool minimized = m_main.windowState() & Qt::WindowMinimized;
    if (minimized && !Options_MinimizeToTrayState.BooleanValue) {
      PutCompanionsAway(false);
    } else if (!minimized && !m_iconShown && !m_putAway.empty()) {
      BringCompanionsBack();
    }
    if (minimized && Options_MinimizeToTrayState.BooleanValue && !m_iconShown) {
      // Hiding inside the state change confuses some window managers: do it right after.
      QTimer::singleShot(0, this, [this] {
        if (m_main.windowState() & Qt::WindowMinimized) HideMainForm();
      });
    } else if (!minimized && m_iconShown && m_main.isVisible()) {
      // Restored by other means than the icon. Hiding a minimized window reports a state
      // change of its own while it is hidden; that is no restore.
      ShowMainForm();
    }
  }
  return QObject::eventFilter(watched, event);
}
