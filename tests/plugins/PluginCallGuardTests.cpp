// The crash guard around plug-in calls and the memory guard's copies, with real faults.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <stddef.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "plugins/PluginCallGuard.h"
#include "plugins/PluginMemoryGuard.h"

namespace {

// The faults stand in for plug-ins built without our sanitizers: they must reach the guard
// as signals, not as UBSan reports.
__attribute__((no_sanitize("undefined"))) int ReadNull() {
  volatile int* volatile nowhere = nullptr;
  return *nowhere;
}

__attribute__((no_sanitize("undefined"))) int DivideByZero() {
  volatile int zero = 0;
  volatile int one = 1;
  return one / zero;
}

// A page of a file that was cut after it was mapped: reading it raises SIGBUS.
int ReadPastTruncatedFile() {
  char name[] = "/tmp/keldar_guard_XXXXXX";
  const int fd = mkstemp(name);
  unlink(name);
  if (fd < 0 || ftruncate(fd, 8192) != 0) return -1;
  auto* page = static_cast<volatile char*>(mmap(nullptr, 8192, PROT_READ, MAP_SHARED, fd, 0));
  if (ftruncate(fd, 0) != 0) return -1;
  close(fd);
  return page[4096];
}

TEST(PluginCallGuard, EachFatalSignalInsideACallFailsOnlyThatCall) {
  const unsigned long before = GuardedPluginCrashCount();
  int value = 7;
  EXPECT_EQ(RunGuardedPluginCall(value, ReadNull), TPluginCallResult::Crashed);
  EXPECT_EQ(RunGuardedPluginCall(value, DivideByZero), TPluginCallResult::Crashed);
  EXPECT_EQ(RunGuardedPluginCall(value, ReadPastTruncatedFile), TPluginCallResult::Crashed);
  EXPECT_EQ(RunGuardedPluginCall([] { __builtin_trap(); }), TPluginCallResult::Crashed);
  EXPECT_EQ(RunGuardedPluginCall([] { std::raise(SIGSEGV); }), TPluginCallResult::Crashed);
  EXPECT_EQ(value, 7) << "a crashed call leaves the result alone";
  EXPECT_EQ(GuardedPluginCrashCount(), before + 5);

  EXPECT_EQ(RunGuardedPluginCall([] { throw std::runtime_error("x"); }), TPluginCallResult::Threw);
  EXPECT_EQ(RunGuardedPluginCall(value, [] { return 42; }), TPluginCallResult::Completed);
  EXPECT_EQ(value, 42);

  // A crash in an inner call fails the inner call only; the outer one completes.
  TPluginCallResult inner = TPluginCallResult::Completed;
  EXPECT_EQ(RunGuardedPluginCall([&] { inner = RunGuardedPluginCall([] { ReadNull(); }); }),
            TPluginCallResult::Completed);
  EXPECT_EQ(inner, TPluginCallResult::Crashed);
  // Endless recursion overflows the stack: the handler still runs, on its own stack.
  EXPECT_EQ(RunGuardedPluginCall([] {
              std::function<int(int)> deep = [&](int n) {
                volatile char pad[4096];
                pad[0] = static_cast<char>(n);
                return deep(n + 1) + pad[0];
              };
              deep(0);
            }),
            TPluginCallResult::Crashed);
}

TEST(PluginCallGuardDeathTest, AFaultOutsideAGuardedCallStillEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        RunGuardedPluginCall([] {});
        ReadNull();
      },
      "");
}

// Lets every system call through except process_vm_readv, which is refused with EPERM.
bool RefuseProcessVmReadv() {
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_process_vm_readv, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
         prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

TEST(PluginMemoryGuardDeathTest, WithoutProcessVmReadvBadPointersStillFailTheCopy) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // In a child of its own, since the refusal cannot be lifted again.
  EXPECT_EXIT(
      {
        if (!RefuseProcessVmReadv()) std::_Exit(3);
        char out[16] = {};
        const char good[16] = "readable";
        const bool goodCopied = CopyFromPluginMemory(out, good, sizeof good) && std::string(out) == "readable";
        const bool badRefused = !CopyFromPluginMemory(out, reinterpret_cast<const void*>(uintptr_t(0x1000)), 16);
        std::string text;
        const bool badStringRefused = !ReadPluginString(reinterpret_cast<const char*>(uintptr_t(0x2000)), text);
        std::_Exit(goodCopied && badRefused && badStringRefused ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
