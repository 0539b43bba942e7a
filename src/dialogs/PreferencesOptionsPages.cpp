// "General Options" and "Audio Library Options": every control writes its setting (and the
// engine's copy) the moment it changes.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>

#include "dialogs/PreferencesHooks.h"
#include "dialogs/PreferencesPage.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_OutputDevices.h"
#include "settings/OutputDeviceSetting.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ShellFunctions.h"
#include "util/ShowMessage.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

struct TCheckRow {
  const char* Caption;
  SettingsVariableBooleanRecord* Setting;
  void (*Extra)(bool value);
};

void ApplyStayOnTop(bool value) {
  if (PreferencesHooks().ApplyStayOnTop) PreferencesHooks().ApplyStayOnTop(value);
}
void ApplyScreenSaver(bool value) { SetScreenSaverActive(value); }
void ResetTitle(bool) {
  if (PreferencesHooks().ResetApplicationTitle) PreferencesHooks().ResetApplicationTitle();
}
void ApplyShowErrors(bool value) { KELDAR_AUDIOVIDEO_API_State().ShowErrors = value; }

const TCheckRow kGeneralChecks[] = {
    {"Always on Top", &Options_StayOnTopState, ApplyStayOnTop},
    {"Show Splash Screen", &Options_ShowSplashScreen, nullptr},
    {"Screen Saver Enabled", &Options_ScreenSaverState, ApplyScreenSaver},
    {"Global Hotkeys support", &Options_EnableWideHotkeysSupport, nullptr},
    {"Application Title scrolling", &Options_ApplicationTitleScrolling, ResetTitle},
    {"Minimize to Tray", &Options_MinimizeToTrayState, nullptr},
    {"Halt Playback on Defective File", &Options_PlaylistHaltOnDefectiveFile, ApplyShowErrors},
    {"Add Subdirectories too on ADD-DIR", &Options_PlaylistAddSubDirectories, nullptr},
    {"Advanced Playlist mode", &Options_PlaylistAdvancedMode, nullptr},
};

constexpr char kAdvancedPlaylistHelp[] =
    "Advanced Playlists Explanation:\r1. With advanced playlist mode enabled, the playlist has memory, for each \r"
    "    song, for the Pitch, Tempo, EQ Sample Rate, Equalizer and Preamp.      \r2. With advanced playlist Mode "
    "Enabled, the changes to the previous       \r    parameters affect the currently playing song only.           "
    "          \r    So if you want to set these parameters for all the songs of a playlist,\r    you must play them "
    "all                                                 \r                                                        "
    "                  ";

class TGeneralOptionsPage : public TPreferencesPage {
 public:
  TGeneralOptionsPage() : TPreferencesPage("General Options") {
    auto* layout = new QVBoxLayout(this);
    for (const TCheckRow& row : kGeneralChecks) {
      auto* box = new QCheckBox(row.Caption);
      box->setObjectName(row.Caption);
      m_boxes.push_back(box);
      connect(box, &QCheckBox::toggled, this, [this, row](bool on) {
        if (m_filling) return;
        row.Setting->BooleanValue = on;
        if (row.Extra) row.Extra(on);
      });
      if (row.Setting == &Options_PlaylistAdvancedMode) {
        auto* line = new QHBoxLayout;
        line->addWidget(box);
        auto* help = new QPushButton("?");
        help->setObjectName("AdvancedPlaylistHelpButton");
        help->setFixedWidth(28);
        connect(help, &QPushButton::clicked, this, [] { ShowMessage(kAdvancedPlaylistHelp); });
        line->addWidget(help);
        line->addStretch(1);
        layout->addLayout(line);
      } else {
        layout->addWidget(box);
      }
    }
    auto* buttons = new QHBoxLayout;
    auto* defaults = new QPushButton("Default Options");
    defaults->setObjectName("DefaultOptionsButton");
    auto* sliders = new QPushButton("Default Sliders");
    sliders->setObjectName("DefaultSlidersButton");
    buttons->addWidget(defaults);
    buttons->addWidget(sliders);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addStretch(1);
    connect(defaults, &QPushButton::clicked, this, [] {
      if (ShowMessage(" Default options will take affect  \rthe next time you start application\r       Do you wish to "
                      "Continue?    ",
                      {}, TMessageIcon::Warning, TMessageButtons::YesNo, TMessageAnswer::No) == TMessageAnswer::Yes)
        ResetToDefaultsOnExit = true;
    });
    connect(sliders, &QPushButton::clicked, this, [] {
      if (PreferencesHooks().DefaultSliders) PreferencesHooks().DefaultSliders();
    });
  }
  void Fill() override {
    m_filling = true;
    for (size_t i = 0; i < m_boxes.size(); ++i) m_boxes[i]->setChecked(kGeneralChecks[i].Setting->BooleanValue);
    m_filling = false;
  }

 private:
  std::vector<QCheckBox*> m_boxes;
  bool m_filling = false;
};

// A trackbar with its value label; the label follows the value.
QSlider* Trackbar(const char* name, int min, int max, int tick) {
  auto* slider = new QSlider(Qt::Horizontal);
  slider->setObjectName(name);
  slider->setRange(min, max);
  slider->setTickInterval(tick);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setPageStep(tick);
  return slider;
}

constexpr int kSamplingRates[] = {96000, 48000, 44100, 22050, 11025};

class TAudioLibraryOptionsPage : public TPreferencesPage {
 public:
  TAudioLibraryOptionsPage() : TPreferencesPage("Audio Library Options") {
    auto* grid = new QGridLayout;
    int row = 0;
    m_buffer = Trackbar("BufferLengthTrackBar", 1, 5000, 500);
    m_bufferLabel = new QLabel;
    m_bufferLabel->setObjectName("BufferLengthLabel");
    grid->addWidget(new QLabel("Buffer Length:"), row, 0);
    grid->addWidget(m_buffer, row, 1);
    grid->addWidget(m_bufferLabel, row, 2);
    grid->addWidget(new QLabel("(Default=500 ms)"), row++, 3);

    m_rate = new QComboBox;
    m_rate->setObjectName("OutputSamplingRateComboBox");
    for (int rate : kSamplingRates) m_rate->addItem(QString::number(rate) + " Hz", rate);
    grid->addWidget(new QLabel("Output Sampling Rate:"), row, 0);
    grid->addWidget(m_rate, row++, 1);

    m_device = new QComboBox;
    m_device->setObjectName("OutputDeviceComboBox");
    grid->addWidget(new QLabel("Output Device:"), row, 0);
    grid->addWidget(m_device, row++, 1, 1, 3);

    m_fade = Trackbar("FadeTrackBar", 0, 10000, 1000);
    m_fadeLabel = new QLabel;
    m_fadeLabel->setObjectName("FadeLabel");
    grid->addWidget(new QLabel("Fade In/Out:"), row, 0);
    grid->addWidget(m_fade, row, 1);
    grid->addWidget(m_fadeLabel, row++, 2);

    m_cd = new QComboBox;
    m_cd->setObjectName("CDPlaybackMethodComboBox");
    m_cd->addItems({"Digital Playback", "Analog Playback"});
    grid->addWidget(new QLabel("CD Playback:"), row, 0);
    grid->addWidget(m_cd, row++, 1);

    m_interpolation = new QCheckBox("Disable Interpolation");
    m_interpolation->setObjectName("Disable Interpolation");
    grid->addWidget(m_interpolation, row++, 1);

    const auto addChoice = [&](const char* name, const char* caption, QSlider*& slider, QLabel*& label) {
      slider = Trackbar(name, 0, 2, 1);
      label = new QLabel;
      label->setObjectName(QString(name) + "Label");
      grid->addWidget(new QLabel(caption), row, 0);
      grid->addWidget(slider, row, 1);
      grid->addWidget(label, row++, 2);
    };
    addChoice("RampingTrackBar", "Ramping (*):", m_ramping, m_rampingLabel);
    addChoice("SurroundTrackBar", "Surround (*):", m_surround, m_surroundLabel);
    addChoice("PlaybackModeTrackBar", "Playback Mode (*):", m_mode, m_modeLabel);
    m_pan = Trackbar("PanSeparationTrackBar", 0, 100, 10);
    m_panLabel = new QLabel;
    m_panLabel->setObjectName("PanSeparationLabel");
    grid->addWidget(new QLabel("Pan Separation:"), row, 0);
    grid->addWidget(m_pan, row, 1);
    grid->addWidget(m_panLabel, row++, 2);

    m_version = new QLabel;
    m_version->setObjectName("LibraryVersionLabel");
    m_float = new QLabel;
    m_float->setObjectName("FloatSupportLabel");
    m_cpu = new QLabel;
    m_cpu->setObjectName("CPUUsageLabel");
    auto* info = new QGroupBox("Audio Library");
    auto* infoLayout = new QGridLayout(info);
    infoLayout->addWidget(new QLabel("Version:"), 0, 0);
    infoLayout->addWidget(m_version, 0, 1);
    infoLayout->addWidget(new QLabel("32-bit float samples:"), 1, 0);
    infoLayout->addWidget(m_float, 1, 1);
    infoLayout->addWidget(new QLabel("CPU usage:"), 2, 0);
    infoLayout->addWidget(m_cpu, 2, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(
        new QLabel("(*) does not affect the current song; the output rate and the output device need a restart."));
    layout->addWidget(info);
    layout->addStretch(1);

    auto& engine = KELDAR_AUDIOVIDEO_API_Settings();
    connect(m_buffer, &QSlider::valueChanged, this, [this, &engine](int value) {
      m_bufferLabel->setText(QString::number(value) + " ms");
      if (m_filling) return;
      Options_BufferLength.IntegerValue = value;
      engine.BufferLengthMs = value;
      if (auto& apply = KELDAR_AUDIOVIDEO_API_Slots().SetBufferLength) apply();
    });
    connect(m_rate, &QComboBox::currentIndexChanged, this, [this](int index) {
      if (!m_filling && index >= 0) Options_DSPSamplingRate.IntegerValue = m_rate->itemData(index).toInt();
    });
    // Kept by name: the numbers change when devices come and go. The library opens it at the
    // next start, as it does the output rate.
    connect(m_device, &QComboBox::currentIndexChanged, this, [this](int index) {
      if (m_filling || index < 0) return;
      Options_OutputDeviceName.StringValue = m_device->itemData(index).toString().toStdString();
      KELDAR_OutputDeviceName() = Options_OutputDeviceName.StringValue;
    });
    connect(m_fade, &QSlider::valueChanged, this, [this, &engine](int value) {
      m_fadeLabel->setText(QString::number(value) + " ms");
      if (m_filling) return;
      Options_FadeIn_Out_Msecs.IntegerValue = value;
      engine.FadeInOutMs = value;
    });
    connect(m_cd, &QComboBox::currentIndexChanged, this, [this, &engine](int index) {
      if (m_filling || index < 0) return;
      Options_CDPlaybackMethod.IntegerValue = index;
      engine.CDPlaybackMethod = index;
    });
    connect(m_interpolation, &QCheckBox::toggled, this, [this, &engine](bool on) {
      if (m_filling) return;
      Options_NonInterpolatedMixingState.BooleanValue = on;
      engine.NonInterpolatedMixing = on;
    });
    const auto bindChoice = [this](QSlider* slider, QLabel* label, std::array<const char*, 3> names,
                                   SettingsVariableIntegerRecord& setting, int32_t& engineCopy) {
      connect(slider, &QSlider::valueChanged, this, [this, label, names, &setting, &engineCopy](int value) {
        label->setText(names[size_t(std::clamp(value, 0, 2))]);
        if (m_filling) return;
        setting.IntegerValue = value;
        engineCopy = value;
      });
    };
    bindChoice(m_ramping, m_rampingLabel, {"Off", "Normal", "Sensitive"}, Options_RampingMode, engine.RampingMode);
    bindChoice(m_surround, m_surroundLabel, {"Off", "1", "2"}, Options_SurroundMode, engine.SurroundMode);
    bindChoice(m_mode, m_modeLabel, {"Normal", "Protracker 1", "FastTracker 2"}, Options_MODPlaybackMode,
               engine.MODPlaybackMode);
    connect(m_pan, &QSlider::valueChanged, this, [this, &engine](int value) {
      m_panLabel->setText(QString::number(value));
      if (m_filling) return;
      Options_MODPanSeperationLevel.IntegerValue = value;
      engine.MODPanSeparationLevel = value;
      if (auto& apply = KELDAR_AUDIOVIDEO_API_Slots().SetMODPanSeparation) apply();
    });
  }

  void Fill() override {
    m_filling = true;
    m_buffer->setValue(Options_BufferLength.IntegerValue);
    m_bufferLabel->setText(QString::number(Options_BufferLength.IntegerValue) + " ms");
    const int rate = m_rate->findData(Options_DSPSamplingRate.IntegerValue);
    m_rate->setCurrentIndex(rate);
    FillDevices();
    m_fade->setValue(Options_FadeIn_Out_Msecs.IntegerValue);
    m_fadeLabel->setText(QString::number(Options_FadeIn_Out_Msecs.IntegerValue) + " ms");
    m_cd->setCurrentIndex(std::clamp(Options_CDPlaybackMethod.IntegerValue, 0, 1));
    m_interpolation->setChecked(Options_NonInterpolatedMixingState.BooleanValue);
    m_ramping->setValue(Options_RampingMode.IntegerValue);
    m_rampingLabel->setText(std::array{"Off", "Normal", "Sensitive"}[size_t(std::clamp(m_ramping->value(), 0, 2))]);
    m_surround->setValue(Options_SurroundMode.IntegerValue);
    m_surroundLabel->setText(std::array{"Off", "1", "2"}[size_t(std::clamp(m_surround->value(), 0, 2))]);
    m_mode->setValue(Options_MODPlaybackMode.IntegerValue);
    m_modeLabel->setText(
        std::array{"Normal", "Protracker 1", "FastTracker 2"}[size_t(std::clamp(m_mode->value(), 0, 2))]);
    m_pan->setValue(Options_MODPanSeperationLevel.IntegerValue);
    m_panLabel->setText(QString::number(m_pan->value()));
    const auto& current = KELDAR_AUDIOVIDEO_API_CurrentAudioAPI();
    m_version->setText(Q(current.KELDAR_AUDIOVIDEO_API_AudioAPIName + " " + current.KELDAR_AUDIOVIDEO_API_AudioAPIVersion));
    m_float->setText(KELDAR_AUDIOVIDEO_API_State().FloatSupport ? "Supported" : "Unsupported");
    m_filling = false;
    TimerTick();
  }

  // "Default Device" first, then the library's devices with their numbers; a chosen device
  // that is not there now stays listed so the choice is not lost by showing the page.
  void FillDevices() {
    m_device->clear();
    m_device->addItem("Default Device", QString());
    const std::string& chosen = Options_OutputDeviceName.StringValue;
    bool listed = chosen.empty();
    for (const TKELDAROutputDevice& device : ListOutputDevices()) {
      QString text = QString::number(device.Number) + ": " + Q(device.Name) + " (" + Q(device.Driver) + ")";
      if (device.IsDefault) text += " - default";
      m_device->addItem(text, Q(device.Name));
      listed = listed || device.Name == chosen;
    }
    if (!listed) m_device->addItem(Q(chosen) + " (not available)", Q(chosen));
    m_device->setCurrentIndex(std::max(0, m_device->findData(Q(chosen))));
  }

  void TimerTick() override {
    const float usage = KELDAR_AUDIOVIDEO_API_State().CPUUsage;
    char text[32];
    std::snprintf(text, sizeof text, "%.5f", std::isnan(usage) ? 0.0 : double(usage));
    m_cpu->setText(text);
  }

 private:
  QSlider *m_buffer, *m_fade, *m_ramping, *m_surround, *m_mode, *m_pan;
  QLabel *m_bufferLabel, *m_fadeLabel, *m_rampingLabel, *m_surroundLabel, *m_modeLabel, *m_panLabel;
  QLabel *m_version, *m_float, *m_cpu;
  QComboBox *m_rate, *m_device, *m_cd;
  QCheckBox* m_interpolation;
  bool m_filling = false;
};

}  // namespace

TPreferencesHooks& PreferencesHooks() {
  static TPreferencesHooks hooks;
  return hooks;
}

TPreferencesPage* CreateGeneralOptionsPage() { return new TGeneralOptionsPage; }
TPreferencesPage* CreateAudioLibraryOptionsPage() { return new TAudioLibraryOptionsPage; }
