// DSP and general plug-ins for the host tests, one source built into several libraries.
// TEST_PLUGIN_KIND picks the kind (1 DSP, 2 general), TEST_PLUGIN_VARIANT the behaviour:
//   "good"        every entry logged; DSP samples doubled; what the blocks looked like kept
//   "initfails"   Initialize returns 1
//   "noexport"    the interface function is missing
//   "nullinterface" the interface function returns NULL
//   "nullentries" Initialize and Close are NULL
//   "longname"    the name has no terminator within 256 bytes
//   "crashinit"   Initialize dereferences a null pointer
//   "crashproc"   the DSP procedure dereferences a null pointer
// UI-thread entries append a line to the file named by ZPTEST_PLUGIN_LOG.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <dlfcn.h>

#include "kaudio.h"
#include "zpdsp_sdk_header.h"
#include "zpgen_sdk_header.h"

#ifndef TEST_PLUGIN_VARIANT
#error "TEST_PLUGIN_VARIANT must be defined"
#endif

namespace {

const std::string kVariant = TEST_PLUGIN_VARIANT;
const std::string kTag = TEST_PLUGIN_TAG;

void Log(const std::string& line) {
  const char* path = std::getenv("ZPTEST_PLUGIN_LOG");
  if (!path) return;
  if (FILE* f = std::fopen(path, "a")) {
    std::fprintf(f, "%s %s\n", kTag.c_str(), line.c_str());
    std::fclose(f);
  }
}

// Faults like a plug-in built without our sanitizers would: a signal, not a UBSan report.
__attribute__((no_sanitize("undefined"))) int CrashOnNull() {
  volatile int* volatile nowhere = nullptr;
  return *nowhere;
}

// A name followed by 300 more bytes without a zero (the terminator comes far behind).
struct TLongName {
  char text[400];
  TLongName() {
    std::memset(text, 'N', sizeof text);
    text[sizeof text - 1] = 0;
  }
} g_longName;

const char* Name() { return kVariant == "longname" ? g_longName.text : kTag.c_str(); }

int32_t Initialize(const char* folder) {
  if (kVariant == "crashinit") CrashOnNull();
  Log(std::string("Initialize ") + (folder ? folder : "(null)"));
  return kVariant == "initfails" ? 1 : 0;
}
void Config() { Log("Config"); }
void Close() { Log("Close"); }

}  // namespace

// What the DSP procedure saw, for the tests (read through dlsym on the loaded module).
extern "C" {
__attribute__((visibility("default"))) std::atomic<uint32_t> zptest_blocks{0};
__attribute__((visibility("default"))) std::atomic<uint32_t> zptest_rate{0};
__attribute__((visibility("default"))) std::atomic<uint32_t> zptest_channels{0};
__attribute__((visibility("default"))) std::atomic<uint32_t> zptest_bytesPerSample{0};
__attribute__((visibility("default"))) std::atomic<uint32_t> zptest_oddLengths{0};
// Blocks seen by the effect the plug-in adds itself to the channel through the audio library.
__attribute__((visibility("default"))) std::atomic<uint32_t> zptest_ownEffectBlocks{0};
}

// Without the export the same function is there under another name.
#if defined(TEST_PLUGIN_NO_EXPORT)
#define ZPTEST_DSP_EXPORT zptest_dsp_interface_under_another_name
#define ZPTEST_GEN_EXPORT zptest_gen_interface_under_another_name
#else
#define ZPTEST_DSP_EXPORT zpdsp_Plugin_Interface
#define ZPTEST_GEN_EXPORT zpgen_Plugin_Interface
#endif

#if TEST_PLUGIN_KIND == 1
namespace {
Tzpdsp_plugin_INFO g_info = {7, nullptr, 0};
Tzpdsp_plugin_structure g_plugin{};

void Process(void* buffer, uint32_t length, uint32_t rate, uint32_t channels, uint32_t bytesPerSample) {
  if (kVariant == "crashproc") CrashOnNull();
  zptest_blocks.fetch_add(1);
  zptest_rate = rate;
  zptest_channels = channels;
  zptest_bytesPerSample = bytesPerSample;
  if (channels == 0 || bytesPerSample == 0 || length % (channels * bytesPerSample) != 0) zptest_oddLengths.fetch_add(1);
  float* samples = static_cast<float*>(buffer);
  for (uint32_t i = 0; i < length / sizeof(float); ++i) samples[i] *= 2.0f;
}
// The plug-in's own effect on the channel, added through the player's audio library (found
// in the process, as the player has loaded it).
KAUDIO_HDSP g_ownEffect = 0;
void OwnEffect(KAUDIO_HDSP, KAUDIO_DWORD, void*, KAUDIO_DWORD, void*) { zptest_ownEffectBlocks.fetch_add(1); }

template <typename Function>
Function* AudioLibrary(const char* name) {
  return reinterpret_cast<Function*>(dlsym(RTLD_DEFAULT, name));
}

void CreateEffect(uint32_t channel) {
  Log("CreateEffect " + std::to_string(channel));
  if (auto* setDsp = AudioLibrary<decltype(KAUDIO_ChannelSetDSP)>("KAUDIO_ChannelSetDSP"))
    g_ownEffect = setDsp(channel, &OwnEffect, nullptr, 1);
}
void StopEffect(uint32_t channel) {
  Log("StopEffect " + std::to_string(channel));
  if (auto* removeDsp = AudioLibrary<decltype(KAUDIO_ChannelRemoveDSP)>("KAUDIO_ChannelRemoveDSP"); removeDsp && g_ownEffect)
    removeDsp(channel, g_ownEffect);
  g_ownEffect = 0;
}
void SaveSettings() { Log("SaveSettings"); }
void LoadSettings() { Log("LoadSettings"); }
}  // namespace

extern "C" __attribute__((visibility("default"))) Tzpdsp_plugin_structure* ZPTEST_DSP_EXPORT() {
  if (kVariant == "nullinterface") return nullptr;
  g_info.dsp_plugin_Name = Name();
  g_plugin.dsp_plugin_Info = &g_info;
  const bool nullEntries = kVariant == "nullentries";
  g_plugin.dsp_plugin_Initialize = nullEntries ? nullptr : &Initialize;
  g_plugin.dsp_plugin_Config = &Config;
  g_plugin.dsp_plugin_DSP_Proc = &Process;
  g_plugin.dsp_plugin_BASS_CreateEffect = &CreateEffect;
  g_plugin.dsp_plugin_BASS_StopEffect = &StopEffect;
  g_plugin.dsp_plugin_Close = nullEntries ? nullptr : &Close;
  g_plugin.dsp_plugin_SaveSettings = &SaveSettings;
  g_plugin.dsp_plugin_LoadSettings = &LoadSettings;
  return &g_plugin;
}

#else
namespace {
Tzpgen_plugin_INFO g_info = {3, nullptr, 0};
Tzpgen_plugin_structure g_plugin{};
}  // namespace

extern "C" __attribute__((visibility("default"))) Tzpgen_plugin_structure* ZPTEST_GEN_EXPORT() {
  if (kVariant == "nullinterface") return nullptr;
  g_info.gen_plugin_Name = Name();
  g_plugin.gen_plugin_Info = &g_info;
  const bool nullEntries = kVariant == "nullentries";
  g_plugin.gen_plugin_Initialize = nullEntries ? nullptr : &Initialize;
  g_plugin.gen_plugin_Config = &Config;
  g_plugin.gen_plugin_Close = nullEntries ? nullptr : &Close;
  return &g_plugin;
}
#endif
