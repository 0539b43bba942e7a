// The CD suites' peers and fixtures: the local freedb server (Python, on 127.0.0.1), disc
// images made by scripts/make-cd-image, and the engine on the no-sound device.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "cd/CDDBConnect.h"
#include "cd/CDDialogHooks.h"
#include "engine/BASSAPI.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace cdtest {

namespace fs = std::filesystem;

// tests/cd/freedb_server.py on a free port, serving the scenario folder; stopped by its id.
class TFreedbPeer {
 public:
  explicit TFreedbPeer(const std::string& scenario) {
    int out[2];
    if (pipe(out) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      dup2(out[1], 1);
      close(out[0]);
      close(out[1]);
      const std::string script = std::string(KELDAR_SOURCE_DIR) + "/tests/cd/freedb_server.py";
      execlp("python3", "python3", script.c_str(), scenario.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    FILE* in = fdopen(out[0], "r");
    char line[32] = {};
    if (in && std::fgets(line, sizeof line, in)) m_port = std::atoi(line);
    if (in) std::fclose(in);
  }
  ~TFreedbPeer() {
    if (m_pid <= 0) return;
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
  }
  TFreedbPeer(const TFreedbPeer&) = delete;
  TFreedbPeer& operator=(const TFreedbPeer&) = delete;
  int Port() const { return m_port; }
  std::string Address() const { return "127.0.0.1:" + std::to_string(m_port); }

 private:
  pid_t m_pid = -1;
  int m_port = 0;
};

inline bool Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

// A program folder with the engine running; messages go to a log.
class CDFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    BASSAPI_SetOutputDevice(0);
    if (KELDAR_AUDIOVIDEO_API_AudioAPIToLoad().Count == 0) RegisterBASSAPIBackend();
    ASSERT_TRUE(SelectAudioAPI(1));
    ASSERT_TRUE(KELDAR_AUDIOVIDEO_API_CurrentAudioAPI().KELDAR_AUDIOVIDEO_API_InitializeFunction());
    KELDAR_AUDIOVIDEO_API_Slots().BuildSupportedFileTypes();
  }
  static void TearDownTestSuite() { KELDAR_AUDIOVIDEO_API_Slots().UnloadAudioAPI(); }
  void SetUp() override {
    SetProgramFolderForTesting(m_folder.Path());
    setenv("KELDAR_MESSAGE_LOG", (m_folder / "messages.log").c_str(), 1);
    CDDialogHooks() = {};
    TheCDDBEntry() = {};
    TheCDDBConnect() = {};
  }
  void TearDown() override {
    unsetenv("KELDAR_MESSAGE_LOG");
    CDDialogHooks() = {};
  }
  std::string Image(const std::string& name, const std::string& kind = "plain") {
    Shell(std::string(KELDAR_SOURCE_DIR) + "/scripts/make-cd-image '" + m_folder.Path() + "/discs' " + name + " " + kind);
    return m_folder.Path() + "/discs/" + name + ".cue";
  }
  std::vector<TMessage> Messages() { return ReadMessageLog(m_folder / "messages.log"); }
  std::string Scenario(const std::string& relative, const std::string& text) {
    const fs::path path = fs::path(m_folder.Path()) / "scenario" / relative;
    fs::create_directories(path.parent_path());
    WriteTextFile(path.string(), text);
    return path.string();
  }
  std::string ScenarioFolder() {
    fs::create_directories(m_folder / "scenario");
    return m_folder / "scenario";
  }
  // The requests the server saw, in order.
  std::vector<std::string> ServerLog() {
    std::vector<std::string> requests;
    for (int n = 1;; ++n) {
      char name[16];
      std::snprintf(name, sizeof name, "%03d", n);
      const fs::path path = fs::path(m_folder.Path()) / "scenario" / "log" / name;
      if (!fs::exists(path)) break;
      requests.push_back(ReadTextFile(path.string()));
    }
    return requests;
  }
  TTempFolder m_folder;
};

}  // namespace cdtest
