#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QObject>
#include <QThread>

#include <signal.h>

#include <atomic>
#include <cstdio>
#include <memory>

#include "util/ShellFunctions.h"
#include "UtilTestHelpers.h"

using utiltest::TFakeOpener;
using utiltest::TScopedEnv;
using utiltest::TTempDir;

TEST(ShellOpenDocument, PathReachesTheOpenerAsOneArgument) {
  TTempDir dir;
  TFakeOpener opener(dir);
  const std::string tricky = dir / "My Music/a \"b\" $(touch pwned); c.mp3";
  ASSERT_TRUE(ShellOpenDocument(tricky));
  EXPECT_EQ(opener.WaitForLog(), tricky + "\n");
  EXPECT_FALSE(std::filesystem::exists("pwned"));
  EXPECT_FALSE(ShellOpenDocument(""));
}

TEST(ShellOpenDocument, MissingOpenerIsReported) {
  TScopedEnv path("PATH", std::string("/nonexistent-keldar-bin"));
  EXPECT_FALSE(ShellOpenDocument("/tmp"));
}

namespace {

// Stands in for the desktop's screen saver on a private session bus.
class TFakeScreenSaver : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

 public:
  std::atomic<int> Inhibits{0};
  std::atomic<int> UnInhibits{0};
  std::atomic<uint> LastReleased{0};

 public slots:
  uint Inhibit(const QString& application, const QString& reason) {
    if (!application.isEmpty() && !reason.isEmpty()) ++Inhibits;
    return 4711;
  }
  void UnInhibit(uint cookie) {
    LastReleased = cookie;
    ++UnInhibits;
  }
};

// A private dbus-daemon for the test, stopped again at the end.
class TPrivateSessionBus {
 public:
  TPrivateSessionBus() {
    FILE* p = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
    if (!p) return;
    char line[1024];
    if (std::fgets(line, sizeof line, p)) address_ = line;
    if (std::fgets(line, sizeof line, p)) pid_ = std::atoi(line);
    ::pclose(p);
    while (!address_.empty() && (address_.back() == '\n' || address_.back() == '\r')) address_.pop_back();
  }
  ~TPrivateSessionBus() {
    if (pid_ > 0) ::kill(pid_, SIGTERM);
  }
  const std::string& Address() const { return address_; }

 private:
  std::string address_;
  int pid_ = 0;
};

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "keldar_util_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  return app;
}

}  // namespace

TEST(SetScreenSaverActive, InhibitsAndReleasesThroughTheSessionBus) {
  TPrivateSessionBus bus;
  if (bus.Address().empty()) GTEST_SKIP() << "dbus-daemon could not be started";
  TScopedEnv address("DBUS_SESSION_BUS_ADDRESS", bus.Address());
  App();

  QThread serviceThread;
  auto service = std::make_unique<TFakeScreenSaver>();
  QDBusConnection serviceBus =
      QDBusConnection::connectToBus(QString::fromStdString(bus.Address()), "fake-screensaver");
  ASSERT_TRUE(serviceBus.isConnected());
  service->moveToThread(&serviceThread);
  serviceThread.start();
  ASSERT_TRUE(serviceBus.registerObject("/org/freedesktop/ScreenSaver", service.get(),
                                        QDBusConnection::ExportAllSlots));
  ASSERT_TRUE(serviceBus.registerService("org.freedesktop.ScreenSaver"));

  SetScreenSaverActive(false);
  EXPECT_TRUE(IsScreenSaverInhibited());
  SetScreenSaverActive(false);  // already held off: no second request
  EXPECT_EQ(service->Inhibits.load(), 1);
  SetScreenSaverActive(true);
  EXPECT_FALSE(IsScreenSaverInhibited());
  EXPECT_EQ(service->UnInhibits.load(), 1);
  EXPECT_EQ(service->LastReleased.load(), 4711u);
  SetScreenSaverActive(true);
  EXPECT_EQ(service->UnInhibits.load(), 1);

  serviceThread.quit();
  serviceThread.wait();
  QDBusConnection::disconnectFromBus("fake-screensaver");
}

TEST(SetScreenSaverActive, WithoutASessionBusNothingHappens) {
  // A child process, so the failed bus connection is not cached for the other tests.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/keldar-bus", 1);
        SetScreenSaverActive(false);
        const bool inhibited = IsScreenSaverInhibited();
        SetScreenSaverActive(true);
        std::_Exit(inhibited ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

#include "ShellFunctionsTests.moc"
