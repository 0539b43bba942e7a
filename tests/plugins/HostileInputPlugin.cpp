// A deliberately misbehaving input plug-in for the loader tests. ZPINPUT_HOSTILE_MODE picks
// the misbehaviour ("fail", "garbage", "badpointer", "throw", "segv": every entry dereferences
// a null pointer, "segvload": the interface function itself does); ZPINPUT_HOSTILE_KIND its kind.
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "zpinput_sdk_header.h"

namespace {

Tzpinput_plugin_Format_RecordArray g_formats = {{"Hostile", ".hos"}, {"Hostile M3U", ".m3u"}};
Tzpinput_plugin_INFO g_info = {1, "hostile", ZPINPUT_TYPE_PLAYLIST, 2, &g_formats};
uint8_t g_small[16];
zpinput_byte_stream g_stream{};
zpinput_picture g_picture{};
zpinput_data_object g_object{};
Tzpinput_plugin_structure g_plugin{};

std::string Mode() {
  const char* m = std::getenv("ZPINPUT_HOSTILE_MODE");
  return m ? m : "";
}

void Configure() {
  const char* kind = std::getenv("ZPINPUT_HOSTILE_KIND");
  g_info.input_plugin_Type = kind ? static_cast<uint32_t>(std::atoi(kind)) : ZPINPUT_TYPE_PLAYLIST;
  // More formats than the array holds: the host must not read past it.
  g_info.input_plugin_FormatsNumber = Mode() == "garbage" ? 100000u : 2u;
}

// A read through a null pointer the compiler cannot see through; a signal even in a build with
// UBSan, like a plug-in built without it.
__attribute__((no_sanitize("undefined"))) int CrashOnNull() {
  volatile int* volatile nowhere = nullptr;
  return *nowhere;
}

void CrashIf(const std::string& mode) {
  if (Mode() == mode) CrashOnNull();
}

int64_t WriteLies(zpinput_byte_stream*, const void*, uint64_t count) {
  if (Mode() == "throw") throw std::runtime_error("write");
  CrashIf("segv");
  return static_cast<int64_t>(count) + 7;  // claims more than it was given
}

int32_t Entry() {
  const std::string mode = Mode();
  CrashIf("segv");
  if (mode == "throw") throw std::runtime_error("hostile");
  if (mode == "fail") return ZPINPUT_RESULT_FAILURE;
  if (mode == "garbage") {
    g_stream = {g_small, uint64_t(1) << 62, 16, 0, nullptr, &WriteLies, nullptr};
    g_picture = {1000000000u, 1000000000u, reinterpret_cast<uint32_t*>(g_small)};
  } else if (mode == "badpointer") {
    g_stream = {reinterpret_cast<uint8_t*>(uintptr_t(0x1000)), 4096, 4096, 0, nullptr, &WriteLies, nullptr};
    g_picture = {64, 64, reinterpret_cast<uint32_t*>(uintptr_t(0x2000))};
  }
  g_object.stream = &g_stream;
  if (g_info.input_plugin_Type == ZPINPUT_TYPE_PICTURE) g_object.picture = &g_picture;
  return ZPINPUT_RESULT_SUCCESS;
}

int32_t Initialize() { return Entry(); }
int32_t LoadData(const char*) { return Entry(); }
int32_t SaveData(const char*, const char*) {
  const std::string mode = Mode();
  CrashIf("segv");
  if (mode == "throw") throw std::runtime_error("hostile");
  return ZPINPUT_RESULT_FAILURE;
}
void Close() {
  if (Mode() == "throw") throw std::runtime_error("hostile");
  CrashIf("segv");
}

}  // namespace

extern "C" __attribute__((visibility("default"))) Tzpinput_plugin_structure* zpinput_Plugin_Interface() {
  CrashIf("segvload");
  Configure();
  g_plugin.input_plugin_DataPointer =
      Mode() == "badpointer" ? reinterpret_cast<zpinput_data_object*>(uintptr_t(0x3000)) : &g_object;
  if (Mode() == "segv") {
    // A stream is there from the start, so its write entry is reachable too.
    g_stream = {g_small, 0, 16, 0, nullptr, &WriteLies, nullptr};
    g_object.stream = &g_stream;
  }
  g_plugin.input_plugin_Info = &g_info;
  g_plugin.input_plugin_Initialize = &Initialize;
  g_plugin.input_plugin_LoadData = &LoadData;
  g_plugin.input_plugin_SaveData = &SaveData;
  g_plugin.input_plugin_Close = &Close;
  return &g_plugin;
}
