// DSP plug-in: headphone crossfeed with libbs2b. Stereo blocks get a little of each channel in
// the other, low-passed and delayed as a listener's head would; mono blocks pass unchanged.
#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWindow>

#include <bs2b/bs2b.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "CrossfeedLevels.h"
#include "zpdsp_sdk_header.h"

namespace {

Tzpdsp_plugin_INFO g_info = {1, "Headphone Crossfeed (bs2b)", 0};
Tzpdsp_plugin_structure g_plugin{};
std::string g_settingsFile;
std::atomic<int> g_levelIndex{0};
std::atomic<bool> g_clearHistory{false};

// Processing thread only (opened and closed on the UI thread while nothing processes).
t_bs2bdp g_bs2b = nullptr;
uint32_t g_appliedRate = 0;
int g_appliedLevel = -1;

int32_t Initialize(const char* folder) {
  if (folder == nullptr) return ZPDSP_RESULT_FAILURE;
  g_settingsFile = std::string(folder) + "zpdsp_crossfeed.ini";
  g_bs2b = bs2b_open();
  g_appliedRate = 0;
  g_appliedLevel = -1;
  return g_bs2b ? ZPDSP_RESULT_SUCCESS : ZPDSP_RESULT_FAILURE;
}

void LoadSettings() {
  std::ifstream in(g_settingsFile, std::ios::binary);
  std::string text(4096, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));  // a settings file is one short line
  text.resize(static_cast<size_t>(in.gcount()));
  g_levelIndex = ParseCrossfeedSettings(text);
}

void SaveSettings() {
  const std::string temporary = g_settingsFile + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << FormatCrossfeedSettings(g_levelIndex.load());
    if (!out.flush()) return;
  }
  std::rename(temporary.c_str(), g_settingsFile.c_str());
}

void Config() {
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Headphone Crossfeed"));
  // The player's window, known to us only by its native id: the dialog stays above it.
  void* parentId = g_plugin.dsp_hwndParent;
  std::unique_ptr<QWindow> parent(parentId ? QWindow::fromWinId(reinterpret_cast<WId>(parentId)) : nullptr);
  if (parent) {
    dialog.winId();
    dialog.windowHandle()->setTransientParent(parent.get());
  }
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("Crossfeed level:")));
  auto* group = new QButtonGroup(&dialog);
  for (int i = 0; i < kCrossfeedLevelCount; ++i) {
    auto* button = new QRadioButton(QString::fromUtf8(CrossfeedLevel(i).Caption));
    button->setChecked(i == g_levelIndex.load());
    group->addButton(button, i);
    layout->addWidget(button);
  }
  QObject::connect(group, &QButtonGroup::idClicked, &dialog, [](int id) { g_levelIndex = id; });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  dialog.exec();
}

void Process(void* buffer, uint32_t length, uint32_t rate, uint32_t channels, uint32_t bytesPerSample) {
  if (g_bs2b == nullptr || channels != 2 || bytesPerSample != sizeof(float)) return;
  if (rate < BS2B_MINSRATE || rate > BS2B_MAXSRATE) return;
  const int level = g_levelIndex.load(std::memory_order_relaxed);
  if (g_clearHistory.exchange(false)) bs2b_clear(g_bs2b);
  if (rate != g_appliedRate) {
    bs2b_set_srate(g_bs2b, rate);
    g_appliedRate = rate;
  }
  if (level != g_appliedLevel) {
    bs2b_set_level(g_bs2b, CrossfeedLevel(level).Level);
    g_appliedLevel = level;
  }
  bs2b_cross_feed_f(g_bs2b, static_cast<float*>(buffer), static_cast<int>(length / (2 * sizeof(float))));
}

// A new stream starts without the previous one's filter history (cleared by the processing
// thread, which owns the filter).
void CreateEffect(uint32_t) { g_clearHistory = true; }

void Close() {
  if (g_bs2b) bs2b_close(g_bs2b);
  g_bs2b = nullptr;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) Tzpdsp_plugin_structure* zpdsp_Plugin_Interface() {
  g_plugin.dsp_plugin_Info = &g_info;
  g_plugin.dsp_plugin_Initialize = &Initialize;
  g_plugin.dsp_plugin_Config = &Config;
  g_plugin.dsp_plugin_DSP_Proc = &Process;
  g_plugin.dsp_plugin_BASS_CreateEffect = &CreateEffect;
  g_plugin.dsp_plugin_Close = &Close;
  g_plugin.dsp_plugin_SaveSettings = &SaveSettings;
  g_plugin.dsp_plugin_LoadSettings = &LoadSettings;
  return &g_plugin;
}
