// One running instance per user. The first instance holds an exclusive lock on a per-user
// lock file for its whole life (the kernel releases it when the process dies, so a killed
// instance never blocks the next start); a later instance hands its arguments to the first
// one over the control socket and ends.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// "Error creating shared memory %s (%d)": the lock could not be created; start-up ends.
class EInstanceGuardError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct THandOverOptions {
  int MaxAttempts = 11;
  int RetryDelayMs = 1000;
  int ReplyTimeoutMs = 60000;
  // Called before each attempt (1-based), for tests and diagnostics.
  std::function<void(int)> OnAttempt;
};

// true: another instance is running (and, when asked, has been handed the arguments).
// false: this process is now the first instance.
bool AlreadyRunning(const std::string& instanceName, const std::string& receiverClassName, bool sendArguments,
                    const std::vector<std::string>& arguments, const THandOverOptions& options = {});

// Sends the arguments to the running instance: at most MaxAttempts tries, RetryDelayMs
// apart, while nobody listens yet. Gives up silently; true when the arguments were taken.
bool HandOverArguments(const std::vector<std::string>& arguments, const THandOverOptions& options = {});

// The lock file of the instance name for this user.
std::string InstanceLockPath(const std::string& instanceName);
// Releases the first instance's lock (at exit, and for tests).
void ReleaseInstanceLock();

inline constexpr const char* kInstanceName = "zorvaneaudioplayer{0782DC74-1C7A-4BBD-B81A-4C01D3AF749A}";
inline constexpr const char* kApiReceiverClassName = "Tzorvaneplayerapi";
