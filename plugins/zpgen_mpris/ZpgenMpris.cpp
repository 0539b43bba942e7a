// General plug-in: the MPRIS 2 bridge. Desktop panels, media keys and playerctl find the
// player on the session bus as org.mpris.MediaPlayer2.keldar3 and drive it through the
// player's control channel, like any other program.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QThread>

#include <memory>
#include <string>

#include "MprisObject.h"
#include "zpgen_sdk_header.h"

namespace {

const QString kBusName = QStringLiteral("org.mpris.MediaPlayer2.keldar3");
const QString kConnectionName = QStringLiteral("zpgen_mpris");

Tzpgen_plugin_INFO g_info = {1, "MPRIS 2 bridge", 0};
Tzpgen_plugin_structure g_plugin{};
QThread* g_thread = nullptr;
std::atomic<TMprisObject*> g_object{nullptr};

// The bridge's thread: its own bus connection, the object, and an event loop until Close.
void RunBridge(const std::string& programFolder) {
  QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnectionName);
  if (bus.isConnected()) {
    TMprisObject object(bus, programFolder);
    if (bus.registerVirtualObject(QStringLiteral("/org/mpris/MediaPlayer2"), &object) &&
        bus.registerService(kBusName)) {
      g_object = &object;
      QEventLoop loop;
      loop.exec();
      g_object = nullptr;
    }
    bus.unregisterService(kBusName);
    bus.unregisterObject(QStringLiteral("/org/mpris/MediaPlayer2"));
  }
  QDBusConnection::disconnectFromBus(kConnectionName);
}

int32_t Initialize(const char* folder) {
  if (g_thread != nullptr || QCoreApplication::instance() == nullptr) return ZPGEN_RESULT_FAILURE;
  // The program folder is the plug-in folder's parent.
  std::string programFolder = folder ? folder : "";
  while (!programFolder.empty() && programFolder.back() == '/') programFolder.pop_back();
  programFolder = programFolder.substr(0, programFolder.rfind('/'));
  g_thread = QThread::create([programFolder] { RunBridge(programFolder); });
  g_thread->setObjectName(QStringLiteral("zpgen_mpris"));
  g_thread->start();
  return ZPGEN_RESULT_SUCCESS;
}

void Config() {}

void Close() {
  if (g_thread == nullptr) return;
  if (TMprisObject* object = g_object.load()) object->Abort();
  g_thread->quit();
  if (g_thread->wait(10000)) delete g_thread;
  // A thread that does not end keeps its object: the library stays loaded (linked nodelete).
  g_thread = nullptr;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) Tzpgen_plugin_structure* zpgen_Plugin_Interface() {
  g_plugin.gen_plugin_Info = &g_info;
  g_plugin.gen_plugin_Initialize = &Initialize;
  g_plugin.gen_plugin_Config = &Config;
  g_plugin.gen_plugin_Close = &Close;
  return &g_plugin;
}
