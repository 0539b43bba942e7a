// The all-in-one visualization plug-in reading a now-playing record written by another
// process (any bytes: text lengths, colours, paths) and drawing any data into pictures of
// any small size, in every effect.
#include <sanitizer/lsan_interface.h>
#include <unistd.h>

#include <QGuiApplication>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "allinone/SoniqueVisTemplateUnit.h"
#include "zorvaneplayerapi_record.h"

namespace {

uint8_t* Record() {
  static uint8_t* view = [] {
    static std::string name = "keldar-fuzz-allinone-" + std::to_string(getpid());
    setenv("ZORVANEPLAYERAPI_RECORD", name.c_str(), 1);
    uint8_t* v = zpapi_record_open(1);
    std::atexit([] { zpapi_record_unlink(); });
    // Qt's application object and the font library's caches live until the process ends
    // and are never freed: not a leak of ours.
    __lsan_disable();
    static int argc = 1;
    static char app[] = "fuzz";
    static char* argv[] = {app, nullptr};
    new QGuiApplication(argc, argv);
    AllInOneInitializeProc();
    // The first text drawn fills those caches: once here, before any input.
    if (v) {
      while (AllInOneCurrentEffect() != 2) AllInOneClickedProc(0, 0, 1);
      std::vector<uint32_t> pixels(64 * 64);
      VisRenderData render{};
      AllInOneRenderProc(pixels.data(), 64, 64, 64, &render);
    }
    __lsan_enable();
    return v;
  }();
  return view;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t* record = Record();
  if (record == nullptr || size < 4) return 0;
  // Shape and effect first, then the data record, then the shared record's bytes.
  const int width = 1 + data[0] % 96, height = 1 + data[1] % 96, pitch = width + data[2] % 4;
  const int effect = data[3] % 5;
  data += 4;
  size -= 4;
  VisRenderData render{};
  const size_t renderBytes = std::min(size, sizeof render);
  std::memcpy(&render, data, renderBytes);
  data += renderBytes;
  size -= renderBytes;
  std::memset(record + 4, 0, ZPAPI_RECORD_SIZE - 4);
  std::memcpy(record + 4, data, std::min<size_t>(size, ZPAPI_RECORD_SIZE - 4));

  while (AllInOneCurrentEffect() != effect) AllInOneClickedProc(0, 0, 1);
  std::vector<uint32_t> pixels(static_cast<size_t>(pitch) * height);
  AllInOneRenderProc(pixels.data(), width, height, pitch, &render);
  return 0;
}
