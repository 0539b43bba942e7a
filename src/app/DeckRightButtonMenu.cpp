#include "app/DeckRightButtonMenu.h"

#include <QMouseEvent>
#include <QTimer>

#include "skin/KELDARSkinLoader.h"

namespace {

class TRightPressFilter : public QObject {
 public:
  TRightPressFilter(QWidget& window, std::function<void(const QPoint&)> show)
      : QObject(&window), m_show(std::move(show)) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonPress) return false;
    const auto* press = static_cast<QMouseEvent*>(event);
    if (press->button() != Qt::RightButton) return false;
    const QPoint at = press->globalPosition().toPoint();
    // The window handles the press first; the menu opens right after it.
    QTimer::singleShot(0, this, [this, at] {
      if (LoadedKELDARSkin().Ready && m_show) m_show(at);
    });
    return false;
  }

 private:
  std::function<void(const QPoint&)> m_show;
};

}  // namespace

void OpenPopUpMenuOnRightPress(QWidget& mainWindow, std::function<void(const QPoint& global)> show) {
  new TRightPressFilter(mainWindow, std::move(show));  // a child of the window, goes with it
}
