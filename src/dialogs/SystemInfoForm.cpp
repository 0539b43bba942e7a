#include "dialogs/SystemInfoForm.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <sys/utsname.h>

#include <fstream>
#include <sstream>

#include "util/TextFunctions.h"

namespace {

std::string ValueAfterColon(const std::string& line) {
  const auto colon = line.find(':');
  return colon == std::string::npos ? std::string() : TrimText(line.substr(colon + 1));
}

long long MeminfoMB(const std::string& key) {
  std::ifstream in("/proc/meminfo");
  for (std::string line; std::getline(in, line);)
    if (line.rfind(key + ":", 0) == 0) {
      std::istringstream words(ValueAfterColon(line));
      long long kb = 0;
      words >> kb;
      return kb / 1024;
    }
  return 0;
}

}  // namespace

TSystemInformation ReadSystemInformation() {
  TSystemInformation info;
  std::string vendor, model;
  std::ifstream cpu("/proc/cpuinfo");
  for (std::string line; std::getline(cpu, line) && (vendor.empty() || model.empty());) {
    if (line.rfind("vendor_id", 0) == 0 && vendor.empty()) vendor = ValueAfterColon(line);
    if (line.rfind("model name", 0) == 0 && model.empty()) model = ValueAfterColon(line);
  }
  info.CPU = TrimText(vendor + " " + model);
  std::ifstream release("/etc/os-release");
  for (std::string line; std::getline(release, line);)
    if (line.rfind("PRETTY_NAME=", 0) == 0) {
      std::string name = line.substr(12);
      if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
      info.OperatingSystem = name;
    }
  utsname names{};
  if (uname(&names) == 0) {
    const std::string kernel = std::string(names.sysname) + " " + names.release;
    info.OperatingSystem = info.OperatingSystem.empty() ? kernel : info.OperatingSystem + " (" + kernel + ")";
  }
  info.TotalMemoryMB = MeminfoMB("MemTotal");
  info.FreeMemoryMB = MeminfoMB("MemAvailable");
  return info;
}

TSystemInfoForm::TSystemInfoForm(QWidget* parent) : QDialog(parent) {
  setObjectName("TSystemInfoForm");
  setWindowTitle("System Information");
  m_lines = new QLabel;
  m_lines->setObjectName("SystemInfoLines");
  m_lines->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* ok = new QPushButton("OK");
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_lines);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

void TSystemInfoForm::FillLines() {
  const TSystemInformation info = ReadSystemInformation();
  m_lines->setText(QString::fromStdString("CPU : " + info.CPU + "\nOperating System :  " + info.OperatingSystem +
                                          "\nTotal Physical Memory : " + std::to_string(info.TotalMemoryMB) +
                                          " MBytes\nFree Physical Memory  : " + std::to_string(info.FreeMemoryMB) +
                                          " MBytes"));
}

QString TSystemInfoForm::LinesText() const { return m_lines->text(); }

void TSystemInfoForm::showEvent(QShowEvent* event) {
  FillLines();
  QDialog::showEvent(event);
}
