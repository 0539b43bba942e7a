// The real player: its control messages land on the skinned windows as mouse clicks and
// drags, and the windows' state reaches the settings file at exit.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "TestSupport.h"
#include "e2e/PlayerProcess.h"

namespace fs = std::filesystem;

namespace {

int Ctl(const std::string& arguments, std::string* output = nullptr) {
  const std::string command = std::string(KELDAR_PROGRAM_DIR) + "/keldarctl " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return -1;
  char buffer[1024];
  std::size_t n;
  std::string text;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) text.append(buffer, n);
  const int status = ::pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string IniValue(const std::string& ini, const std::string& key) {
  std::istringstream in(ini);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return "<missing>";
}

TEST(SkinnedPlayer, ControlMessagesPressTheSkinnedControlsAndTheStateIsSavedAtExit) {
  TTempFolder dir;
  const std::string program = dir / "program";
  const std::string runtime = dir / "runtime";
  fs::create_directories(program);
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

  TPlayerProcess player(program, runtime, dir / "messages.log");
  ASSERT_TRUE(player.Start({}));
  std::string out;
  ASSERT_EQ(Ctl("volume", &out), 0);
  EXPECT_EQ(out, "78\n");  // the default volume, restored onto the skin's slider
  EXPECT_EQ(Ctl("send 0x940B"), 0);  // a click on the repeat toggle
  EXPECT_EQ(Ctl("volume 33"), 0);    // the drag path
  ASSERT_EQ(Ctl("volume", &out), 0);
  EXPECT_EQ(out, "33\n");
  EXPECT_EQ(player.Terminate(), 0);

  const std::string ini = ReadTextFile(program + "/keldar3.ini");
  EXPECT_EQ(IniValue(ini, "Options_VolumeButtonCurrValue"), "33");
  const std::string repeat = IniValue(ini, "Options_RepeatButtonState");
  EXPECT_TRUE(repeat == "1" || repeat == "True") << repeat;
  EXPECT_EQ(IniValue(ini, "Options_PLWidth"), "300");
  EXPECT_EQ(IniValue(ini, "Options_PLVisibleState"), repeat);  // shown at start, so saved as shown
}

}  // namespace
