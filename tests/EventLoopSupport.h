// Running the Qt event loop in a test until something has happened.
#pragma once

#include <QApplication>
#include <QElapsedTimer>

#include <functional>

// Processes events until the condition holds; false when it did not within the time.
inline bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > timeoutMs) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return true;
}
