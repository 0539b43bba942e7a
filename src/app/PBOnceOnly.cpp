#include "app/PBOnceOnly.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include "plugins/ZorvanePlayerApiClient.h"
#include "plugins/ZorvanePlayerApiVariables.h"

namespace {
int g_lockFd = -1;
}

std::string InstanceLockPath(const std::string& instanceName) {
  return PlayerRuntimeFolder() + "/" + instanceName + "-" + std::to_string(::getuid()) + ".lock";
}

void ReleaseInstanceLock() {
  if (g_lockFd >= 0) ::close(g_lockFd);
  g_lockFd = -1;
}

bool HandOverArguments(const std::vector<std::string>& arguments, const THandOverOptions& options) {
  std::string payload = SerializeHandOverRecord(BuildHandOverRecord(arguments));
  for (int attempt = 1; attempt <= options.MaxAttempts; ++attempt) {
    if (options.OnAttempt) options.OnAttempt(attempt);
    TPlayerApiClient client;
    if (client.Connect(PlayerApiSocketPath())) {
      zpapi_reply reply{};
      // The first instance answers once it has handled every argument.
      return client.Request(ZPAPI_MSG_COPYDATA, 0, 0, payload, reply, options.ReplyTimeoutMs) &&
             reply.status == ZPAPI_STATUS_OK;
    }
    if (attempt < options.MaxAttempts) std::this_thread::sleep_for(std::chrono::milliseconds(options.RetryDelayMs));
  }
  return false;
}

bool AlreadyRunning(const std::string& instanceName, const std::string& receiverClassName, bool sendArguments,
                    const std::vector<std::string>& arguments, const THandOverOptions& options) {
  std::string path = InstanceLockPath(instanceName);
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    char text[512];
    std::snprintf(text, sizeof(text), "Error creating shared memory %s (%d)", instanceName.c_str(), errno);
    throw EInstanceGuardError(text);
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    // First instance: keep the lock and note who holds it.
    if (::ftruncate(fd, 0) == 0) {
      std::string pid = std::to_string(::getpid()) + "\n";
      ssize_t ignored = ::write(fd, pid.data(), pid.size());
      (void)ignored;
    }
    ReleaseInstanceLock();
    g_lockFd = fd;
    return false;
  }
  int error = errno;
  ::close(fd);
  if (error != EWOULDBLOCK) {
    char text[512];
    std::snprintf(text, sizeof(text), "Error creating shared memory %s (%d)", instanceName.c_str(), error);
    throw EInstanceGuardError(text);
  }
  if (sendArguments && !receiverClassName.empty() && !arguments.empty()) HandOverArguments(arguments, options);
  return true;
}
