// The engine fixture: our back-end initialised on the no-sound device, messages logged.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "engine/KELDAR_EngineErrorReports.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "kaudio.h"
#include "util/ShowMessage.h"

namespace fs = std::filesystem;

namespace enginetest {

inline fs::path Dir() { return fs::temp_directory_path() / ("keldar_engine_" + std::to_string(getpid())); }

inline void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Runs a fixture generator (sox, lame, ...) quietly; true on success.
inline bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// A tone file made by sox; the name is inside the fixture folder.
inline std::string Tone(const std::string& name, double seconds, int rate = 44100, int channels = 2,
                        double freq = 440, double gain = -6) {
  const std::string path = (Dir() / name).string();
  Shell("sox -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) + " '" + path + "' synth " +
        std::to_string(seconds) + " sine " + std::to_string(freq) + " gain " + std::to_string(gain));
  return path;
}

class PlaybackEngineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fs::create_directories(Dir());
    setenv("KELDAR_MESSAGE_LOG", (Dir() / "messages.log").c_str(), 1);
    BASSAPI_SetOutputDevice(0);
    if (KELDAR_AUDIOVIDEO_API_AudioAPIToLoad().Count == 0) RegisterBASSAPIBackend();
    ASSERT_TRUE(SelectAudioAPI(1));
    ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
    KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();
  }
  static void TearDownTestSuite() {
    KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI();
    fs::remove_all(Dir());
  }
  void SetUp() override { fs::remove(Dir() / "messages.log"); }
  void TearDown() override {
    auto& o = KELDAR_AUDIOVIDEO_API_Slots();
    o.Stop();
    o.FreeStreams();
    Engine().StartMarker = Engine().EndMarker = 0;
    Engine().ShowErrors = true;
    Engine().Effects = {};
    Engine().Sliders = {};
    for (auto apply : {o.ApplyEQState, o.ApplyFadeState, o.ApplyAutoAmplifyState, o.ApplyDSPState}) apply();
  }
  static KELDAR_AUDIOVIDEO_API_Operations& Ops() { return KELDAR_AUDIOVIDEO_API_Slots(); }
  static KELDAR_AUDIOVIDEO_API_EngineState& Engine() { return KELDAR_AUDIOVIDEO_API_State(); }
  static bool Open(const std::string& file) {
    Engine().CurrentFileName = file;
    return Ops().CreateStream();
  }
  static std::vector<TMessage> Messages() { return ReadMessageLog((Dir() / "messages.log").string()); }
};

}  // namespace enginetest
