#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"
#include "app/PBOnceOnly.h"

namespace {

class InstanceGuard : public ::testing::Test {
 protected:
  void SetUp() override { ::setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1); }
  void TearDown() override { ReleaseInstanceLock(); }
  TTempFolder runtime;
};

}  // namespace

TEST_F(InstanceGuard, FirstCallOwnsTheLockAndALaterOneSeesItRunning) {
  EXPECT_FALSE(AlreadyRunning("guard-test", "Tzorvaneplayerapi", true, {}));
  EXPECT_NE(ReadTextFile(InstanceLockPath("guard-test")).find(std::to_string(::getpid())), std::string::npos);
  // A second process sees the lock; without arguments nothing is sent.
  pid_t child = ::fork();
  if (child == 0) _exit(AlreadyRunning("guard-test", "Tzorvaneplayerapi", true, {}) ? 0 : 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(InstanceGuard, LockOfADeadInstanceDoesNotBlockTheNextStart) {
  pid_t child = ::fork();
  if (child == 0) {
    AlreadyRunning("stale-test", "Tzorvaneplayerapi", true, {});
    _exit(0);  // dies holding the lock; the file stays behind
  }
  ::waitpid(child, nullptr, 0);
  ASSERT_TRUE(std::filesystem::exists(InstanceLockPath("stale-test")));
  EXPECT_FALSE(AlreadyRunning("stale-test", "Tzorvaneplayerapi", true, {}));
}

TEST_F(InstanceGuard, HandOverTriesElevenTimesWhenNobodyListens) {
  THandOverOptions options;
  options.RetryDelayMs = 5;
  int attempts = 0;
  options.OnAttempt = [&](int) { ++attempts; };
  EXPECT_FALSE(HandOverArguments({"a.mp3"}, options));
  EXPECT_EQ(attempts, 11);
}

TEST_F(InstanceGuard, UnusableRuntimeFolderRaisesTheSharedMemoryError) {
  ::setenv("XDG_RUNTIME_DIR", (runtime / "not-a-folder").c_str(), 1);
  WriteTextFile(runtime / "not-a-folder", "x");
  try {
    AlreadyRunning("broken-test", "Tzorvaneplayerapi", true, {});
    FAIL() << "expected the guard to raise";
  } catch (const EInstanceGuardError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Error creating shared memory broken-test (", 0), 0u) << e.what();
  }
}
