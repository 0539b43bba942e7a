// "Utilities": the sound device and CD drive reports and the system information dialog.
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/PreferencesHooks.h"
#include "dialogs/PreferencesPage.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"

namespace {

void RunIgnoringFailures(const std::function<void()>& report) {
  try {
    if (report) report();
  } catch (...) {
  }
}

class TUtilitiesPage : public TPreferencesPage {
 public:
  TUtilitiesPage() : TPreferencesPage("Utilities") {
    auto* sound = new QPushButton("Sound Device Info");
    sound->setObjectName("SoundDeviceInfoButton");
    auto* cd = new QPushButton("CD Drives Info");
    cd->setObjectName("CDDrivesInfoButton");
    auto* system = new QPushButton("System Information");
    system->setObjectName("SystemInformationButton");
    auto* layout = new QVBoxLayout(this);
    for (QPushButton* b : {sound, cd, system}) layout->addWidget(b, 0, Qt::AlignLeft);
    layout->addStretch(1);
    connect(sound, &QPushButton::clicked, this, [] { RunIgnoringFailures(KELDAR_AUDIOVIDEO_API_Slots().ShowSoundDeviceInfo); });
    connect(cd, &QPushButton::clicked, this, [] { RunIgnoringFailures(KELDAR_AUDIOVIDEO_API_Slots().ShowCDDrivesInfo); });
    connect(system, &QPushButton::clicked, this, [] { RunIgnoringFailures(PreferencesHooks().ShowSystemInformation); });
  }
};

}  // namespace

TPreferencesPage* CreateUtilitiesPage() { return new TUtilitiesPage; }
