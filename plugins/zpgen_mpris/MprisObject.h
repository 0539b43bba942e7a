// The MPRIS 2 object at /org/mpris/MediaPlayer2: org.mpris.MediaPlayer2 and its .Player
// interface, answered from the now-playing record and carried out through the control
// channel. Lives on the bridge's own thread, never on the player's UI thread.
#pragma once

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QTimer>
#include <QVariantMap>

#include <mutex>
#include <string>

#include "NowPlayingSnapshot.h"
#include "PlayerControlClient.h"

class TMprisObject : public QDBusVirtualObject {
 public:
  TMprisObject(QDBusConnection connection, std::string programFolder);

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
  QString introspect(const QString& path) const override;

  // Reads the player again and announces what changed (PropertiesChanged).
  void Poll();
  // Unblocks a request waiting for the player (the bridge is closing).
  void Abort() { m_client.Abort(); }

 private:
  QVariantMap RootProperties() const;
  QVariantMap PlayerProperties() const;
  QVariantMap Metadata() const;
  QString TrackId() const;
  void Refresh();
  bool HandleProperties(const QDBusMessage& message, const QDBusConnection& connection);
  bool HandlePlayer(const QDBusMessage& message, const QDBusConnection& connection);
  bool HandleRoot(const QDBusMessage& message, const QDBusConnection& connection);
  void SeekTo(int64_t microseconds);
  void EmitChanged(const QString& interface, const QVariantMap& changed);

  QDBusConnection m_connection;
  std::string m_programFolder;
  TPlayerControlClient m_client;
  TNowPlayingSnapshot m_now;
  QTimer m_poll;
  std::mutex m_lock;
};
