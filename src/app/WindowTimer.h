// A window's periodic timer: a fixed interval, switched with the other windows' timers, and
// the work of the window's owner installed into it (a timer without work ticks idly). Work
// with nothing left to show may let the timer rest; it stays enabled and ticks again when
// woken.
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
    m_enabled = enabled;
    if (enabled) m_timer.start();
    else m_timer.stop();
  }
  bool Enabled() const { return m_enabled; }
  // Stops the ticks until Wake; the timer stays enabled.
  void Rest() { m_timer.stop(); }
  // Ticks again from now on when enabled and resting.
  void Wake() {
    if (m_enabled && !m_timer.isActive()) m_timer.start();
  }
  bool Resting() const { return m_enabled && !m_timer.isActive(); }
  void Tick() {
    if (m_work) m_work();
  }
  QTimer& Timer() { return m_timer; }

 private:
  QTimer m_timer;
  std::function<void()> m_work;
  bool m_enabled = false;
};
