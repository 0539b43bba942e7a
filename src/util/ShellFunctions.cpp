#include "util/ShellFunctions.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <mutex>

#include "util/VersionInfo.h"

namespace {

const char kService[] = "org.freedesktop.ScreenSaver";
const char kPath[] = "/org/freedesktop/ScreenSaver";
const char kInterface[] = "org.freedesktop.ScreenSaver";
// D-Bus calls must not freeze the window for long when the service misbehaves.
constexpr int kCallTimeoutMs = 3000;

std::mutex g_lock;
bool g_inhibited = false;
uint g_cookie = 0;

}  // namespace

bool ShellOpenDocument(const std::string& pathOrUrl) {
  if (pathOrUrl.empty()) return false;
  return QProcess::startDetached(QStringLiteral("xdg-open"),
                                 QStringList{QString::fromStdString(pathOrUrl)});
}

void SetScreenSaverActive(bool flag) {
  std::lock_guard<std::mutex> guard(g_lock);
  if (flag == !g_inhibited) return;  // already as asked
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return;
  if (!flag) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Inhibit");
    call << QString::fromLatin1(KELDAR_FILE_NAME) << QStringLiteral("Playing media");
    const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
    g_cookie = reply.arguments().first().toUInt();
    g_inhibited = true;
  } else {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "UnInhibit");
    call << g_cookie;
    bus.call(call, QDBus::Block, kCallTimeoutMs);
    // A failed call leaves nothing to retry: a restarted service has forgotten the cookie.
    g_inhibited = false;
    g_cookie = 0;
  }
}

bool IsScreenSaverInhibited() {
  std::lock_guard<std::mutex> guard(g_lock);
  return g_inhibited;
}
