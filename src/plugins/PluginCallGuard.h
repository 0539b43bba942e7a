// Guarded calls into plug-in code: a crash inside the plug-in (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL) or a C++ exception leaving it turns the call into a failed call instead of ending
// the player. Shared by every plug-in loader; usable from any thread.
#pragma once

#include <functional>

enum class TPluginCallResult { Completed, Threw, Crashed };

// Runs call and says how it ended. The call must not own
// objects with destructors of its own across the plug-in entry: a crash leaves its frames
// without unwinding them, so keep the lambda to "call the entry, store the result".
TPluginCallResult RunGuardedPluginCall(const std::function<void()>& call);

// The same for an entry with a result: result holds the entry's value when the call completed
// and is left untouched otherwise.
template <typename Result, typename Call>
TPluginCallResult RunGuardedPluginCall(Result& result, Call&& call) {
  Result value{};
  const TPluginCallResult outcome = RunGuardedPluginCall([&] { value = call(); });
  if (outcome == TPluginCallResult::Completed) result = value;
  return outcome;
}

// How many calls the guard turned into failures because of a signal (for reports and tests).
unsigned long GuardedPluginCrashCount();
