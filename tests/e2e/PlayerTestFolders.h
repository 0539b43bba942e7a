// The folders of one test of the real player: a scratch program folder, a private runtime
// folder (lock file and control socket) and a message log; for tests that talk to the player
// through keldarctl, a now-playing record of the test's own name as well.
#pragma once
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestSupport.h"

class PlayerFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
  }

  TTempFolder dir;
  std::string program = dir / "program";
  std::string runtime = dir / "runtime";
  std::string log = dir / "messages.log";
};

// What keldarctl wrote on its standard output, and its exit code.
struct TKeldarctlResult {
  int Exit = -1;
  std::string Output;
};

class PlayerControlTest : public PlayerFoldersTest {
 protected:
  explicit PlayerControlTest(const std::string& recordPrefix)
      : recordName(recordPrefix + std::to_string(::getpid())) {}
  void SetUp() override {
    PlayerFoldersTest::SetUp();
    ::setenv("ZORVANEPLAYERAPI_RECORD", recordName.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  void TearDown() override {
    ::shm_unlink(("/" + recordName).c_str());
    ::unsetenv("ZORVANEPLAYERAPI_RECORD");
  }

  static TKeldarctlResult RunKeldarctl(const std::string& arguments) {
    const std::string command = std::string(KELDAR_PROGRAM_DIR) + "/keldarctl " + arguments + " 2>/dev/null";
    TKeldarctlResult r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) r.Output.append(buffer, n);
    const int status = ::pclose(pipe);
    r.Exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
  }

  std::string recordName;
};
