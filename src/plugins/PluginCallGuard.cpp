#include "plugins/PluginCallGuard.h"

#include <setjmp.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace {

constexpr int kGuardedSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL};
constexpr int kSignalCount = sizeof kGuardedSignals / sizeof kGuardedSignals[0];

// What was installed before us, so faults outside a guarded call reach it unchanged.
struct sigaction g_previous[kSignalCount];
std::mutex g_installMutex;
std::atomic<unsigned long> g_crashes{0};

// The innermost guarded call of this thread, if any.
thread_local sigjmp_buf* t_jump = nullptr;
// A crash from a stack overflow inside the plug-in needs a stack of its own to be handled on.
thread_local std::unique_ptr<char[]> t_alternateStack;
thread_local bool t_alternateStackChecked = false;
// When the installed handlers are next looked at (steady clock, nanoseconds).
std::atomic<int64_t> g_nextHandlerCheck{0};

int SignalIndex(int signal) {
  for (int i = 0; i < kSignalCount; ++i)
    if (kGuardedSignals[i] == signal) return i;
  return -1;
}

void OnFault(int signal, siginfo_t* info, void* context) {
  if (sigjmp_buf* jump = t_jump) {
    t_jump = nullptr;
    g_crashes.fetch_add(1, std::memory_order_relaxed);
    siglongjmp(*jump, signal);
  }
  // Not ours: hand the fault to whoever handled it before (a sanitizer, the default action).
  const int i = SignalIndex(signal);
  const struct sigaction& previous = g_previous[i < 0 ? 0 : i];
  if ((previous.sa_flags & SA_SIGINFO) && previous.sa_sigaction != nullptr) {
    previous.sa_sigaction(signal, info, context);
    return;
  }
  if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN && previous.sa_handler != nullptr) {
    previous.sa_handler(signal);
    return;
  }
  // Default action: returning re-executes the faulting instruction, which now kills us.
  ::signal(signal, SIG_DFL);
  if (info == nullptr || info->si_code <= 0) ::raise(signal);
}

// Installs our handler where it is not the current one (someone may have installed theirs
// after our first call); whatever it replaces becomes the handler we forward to. Looked at
// again at most once a second: a visualization calls its plug-in some sixty times a second,
// and four system calls per frame cost more than the frame's bookkeeping.
void InstallHandlers() {
  const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count();
  if (now < g_nextHandlerCheck.load(std::memory_order_acquire)) return;
  std::lock_guard lock(g_installMutex);
  for (int i = 0; i < kSignalCount; ++i) {
    struct sigaction current {};
    if (sigaction(kGuardedSignals[i], nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) &&
        current.sa_sigaction == &OnFault)
      continue;
    struct sigaction action {};
    action.sa_sigaction = &OnFault;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(kGuardedSignals[i], &action, &g_previous[i]);
  }
  g_nextHandlerCheck.store(now + 1000000000, std::memory_order_release);
}

void EnsureAlternateStack() {
  if (t_alternateStackChecked) return;
  t_alternateStackChecked = true;
  stack_t current{};
  if (sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE)) return;
  const size_t size = 64 * 1024;
  t_alternateStack = std::make_unique<char[]>(size);
  stack_t stack{};
  stack.ss_sp = t_alternateStack.get();
  stack.ss_size = size;
  stack.ss_flags = 0;
  sigaltstack(&stack, nullptr);
}

// Kept out of line so the jump buffer's frame is the guard's own and nothing of the caller's
// lives between sigsetjmp and the plug-in call.
__attribute__((noinline)) TPluginCallResult CallUnderJump(const std::function<void()>& call) {
  sigjmp_buf jump;
  sigjmp_buf* const outer = t_jump;
  // The mask is not saved (a system call per call); after a jump the faulting signal, blocked
  // while its handler ran, is unblocked by hand.
  if (sigsetjmp(jump, 0) != 0) {
    t_jump = outer;
    sigset_t faults;
    sigemptyset(&faults);
    for (int signal : kGuardedSignals) sigaddset(&faults, signal);
    pthread_sigmask(SIG_UNBLOCK, &faults, nullptr);
    return TPluginCallResult::Crashed;
  }
  t_jump = &jump;
  TPluginCallResult outcome = TPluginCallResult::Completed;
  try {
    call();
  } catch (...) {
    outcome = TPluginCallResult::Threw;
  }
  t_jump = outer;
  return outcome;
}

}  // namespace

TPluginCallResult RunGuardedPluginCall(const std::function<void()>& call) {
  if (!call) return TPluginCallResult::Threw;
  InstallHandlers();
  EnsureAlternateStack();
  return CallUnderJump(call);
}

unsigned long GuardedPluginCrashCount() { return g_crashes.load(std::memory_order_relaxed); }
