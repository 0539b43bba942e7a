#include "app/ExitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>

namespace {

int g_pipe[2] = {-1, -1};

void OnSignal(int) {
  char byte = 1;
  // Only async-signal-safe work here: wake the UI thread.
  ssize_t ignored = ::write(g_pipe[1], &byte, 1);
  (void)ignored;
}

}  // namespace

void InstallExitSignalHandlers(std::function<void()> onExitRequest) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) return;
  // Owned by the application object, like every Qt object with a parent.
  auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onExitRequest] {
    char buffer[64];
    while (::read(g_pipe[0], buffer, sizeof(buffer)) > 0) {
    }
    onExitRequest();
  });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}
