// A window's periodic timer: a fixed interval, switched with the other windows' timers, and
// the work of the window's owner installed into it (a timer without work ticks idly).
#pragma once

#include <QTimer>

#include <functional>
#include <utility>

class TWindowTimer {
 public:
  explicit TWindowTimer(int intervalMs) {
    m_timer.setInterval(intervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
  }
  void SetWork(std::function<void()> work) { m_work = std::move(work); }
  void Enable(bool enabled) {
    if (enabled) m_timer.start();
    else m_timer.stop();
  }
  void Tick() {
    if (m_work) m_work();
  }
  QTimer& Timer() { return m_timer; }

 private:
  QTimer m_timer;
  std::function<void()> m_work;
};
