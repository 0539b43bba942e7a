// "System Information": processor, operating system and memory of this machine.
#pragma once

#include <QDialog>

#include <string>

struct TSystemInformation {
  std::string CPU;              // vendor and model name
  std::string OperatingSystem;  // release name of the system
  long long TotalMemoryMB = 0;
  long long FreeMemoryMB = 0;
};
// Read from /proc/cpuinfo, /etc/os-release (uname when missing) and /proc/meminfo.
TSystemInformation ReadSystemInformation();

class TSystemInfoForm : public QDialog {
  Q_OBJECT
 public:
  explicit TSystemInfoForm(QWidget* parent = nullptr);
  // Refreshes the four lines.
  void FillLines();
  QString LinesText() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  class QLabel* m_lines = nullptr;
};
