#include "MprisObject.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFileInfo>
#include <QUrl>

#include <cmath>

namespace {

const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// Control messages of the player's deck (zorvaneplayerapi.h numbering).
constexpr uint32_t kMsgClose = 0x9403;
constexpr uint32_t kMsgPrevious = 0x9404;
constexpr uint32_t kMsgPlay = 0x9405;
constexpr uint32_t kMsgPause = 0x9406;
constexpr uint32_t kMsgStop = 0x9407;
constexpr uint32_t kMsgNext = 0x9408;
constexpr uint32_t kMsgGetVolume = 0x9411;
constexpr uint32_t kMsgSetVolume = 0x9412;
constexpr uint32_t kMsgSetPosition = 0x9418;

QString Q(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QDBusMessage InvalidArgs(const QDBusMessage& message, const QString& text) {
  return message.createErrorReply(QDBusError::InvalidArgs, text);
}

}  // namespace

TMprisObject::TMprisObject(QDBusConnection connection, std::string programFolder)
    : m_connection(std::move(connection)), m_programFolder(std::move(programFolder)) {
  Refresh();
  m_poll.setInterval(400);  // the record changes once per player tick
  QObject::connect(&m_poll, &QTimer::timeout, [this] { Poll(); });
  m_poll.start();
}

void TMprisObject::Refresh() {
  TNowPlayingSnapshot next;
  ReadNowPlayingRecord(next);
  if (next.PlayerThere) {
    if (const auto volume = m_client.Send(kMsgGetVolume)) next.Volume = static_cast<int>(*volume);
    next.ArtworkFile = next.Path == m_now.Path && next.Artist == m_now.Artist && next.Album == m_now.Album && !m_now.ArtworkFile.empty()
                           ? m_now.ArtworkFile
                           : FindSongArtwork(next.Path, next.Artist, next.Album, m_programFolder);
  }
  m_now = next;
}

void TMprisObject::Poll() {
  std::lock_guard lock(m_lock);
  const TNowPlayingSnapshot before = m_now;
  Refresh();
  QVariantMap changed;
  if (before.Status != m_now.Status) changed.insert("PlaybackStatus", Q(m_now.Status));
  if (before.Path != m_now.Path || before.Title != m_now.Title || before.Artist != m_now.Artist ||
      before.Album != m_now.Album || before.PlaylistPosition != m_now.PlaylistPosition ||
      before.LengthMicroseconds != m_now.LengthMicroseconds || before.ArtworkFile != m_now.ArtworkFile)
    changed.insert("Metadata", Metadata());
  if (before.Volume != m_now.Volume && m_now.Volume >= 0) changed.insert("Volume", m_now.Volume / 100.0);
  if (!changed.isEmpty()) EmitChanged(kPlayer, changed);
}

void TMprisObject::EmitChanged(const QString& interface, const QVariantMap& changed) {
  QDBusMessage signal = QDBusMessage::createSignal(kPath, kProperties, QStringLiteral("PropertiesChanged"));
  signal << interface << changed << QStringList();
  m_connection.send(signal);
}

QString TMprisObject::TrackId() const {
  bool number = !m_now.PlaylistPosition.empty();
  for (char c : m_now.PlaylistPosition) number = number && c >= '0' && c <= '9';
  if (!number || m_now.Path.empty()) return QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
  return QStringLiteral("/org/keldar3/track/") + Q(m_now.PlaylistPosition);
}

QVariantMap TMprisObject::Metadata() const {
  QVariantMap m;
  m.insert("mpris:trackid", QVariant::fromValue(QDBusObjectPath(TrackId())));
  if (m_now.Path.empty()) return m;
  m.insert("xesam:title", Q(m_now.Title));
  m.insert("xesam:artist", QStringList{Q(m_now.Artist)});
  m.insert("xesam:album", Q(m_now.Album));
  const QString path = Q(m_now.Path);
  m.insert("xesam:url", path.startsWith('/') ? QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) : path);
  if (m_now.LengthMicroseconds > 0) m.insert("mpris:length", static_cast<qlonglong>(m_now.LengthMicroseconds));
  if (!m_now.ArtworkFile.empty())
    m.insert("mpris:artUrl", QUrl::fromLocalFile(Q(m_now.ArtworkFile)).toString(QUrl::FullyEncoded));
  return m;
}

QVariantMap TMprisObject::RootProperties() const {
  QVariantMap p;
  p.insert("CanQuit", true);
  p.insert("CanRaise", false);
  p.insert("HasTrackList", false);
  p.insert("Identity", QStringLiteral("Zorvane Audio Player"));
  p.insert("SupportedUriSchemes", QStringList{"file", "http", "https", "ftp", "mms"});
  p.insert("SupportedMimeTypes", QStringList{"audio/mpeg", "audio/ogg", "audio/flac", "audio/x-wav", "audio/aac",
                                             "audio/x-mod", "audio/x-mpegurl", "video/mp4"});
  return p;
}

QVariantMap TMprisObject::PlayerProperties() const {
  QVariantMap p;
  p.insert("PlaybackStatus", Q(m_now.Status));
  p.insert("Rate", 1.0);
  p.insert("MinimumRate", 1.0);
  p.insert("MaximumRate", 1.0);
  p.insert("Metadata", Metadata());
  p.insert("Volume", m_now.Volume >= 0 ? m_now.Volume / 100.0 : 0.0);
  p.insert("Position", static_cast<qlonglong>(m_now.PositionMicroseconds));
  const bool there = m_now.PlayerThere;
  p.insert("CanGoNext", there);
  p.insert("CanGoPrevious", there);
  p.insert("CanPlay", there);
  p.insert("CanPause", there);
  p.insert("CanSeek", there && m_now.LengthMicroseconds > 0);
  p.insert("CanControl", true);
  return p;
}

bool TMprisObject::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
  std::lock_guard lock(m_lock);
  if (message.type() != QDBusMessage::MethodCallMessage) return false;
  if (message.interface() == kProperties) return HandleProperties(message, connection);
  if (message.interface() == kPlayer) return HandlePlayer(message, connection);
  if (message.interface() == kRoot) return HandleRoot(message, connection);
  if (message.interface().isEmpty()) {
    // A call without an interface names a method of one of ours.
    if (HandlePlayer(message, connection)) return true;
    return HandleRoot(message, connection);
  }
  return false;
}

bool TMprisObject::HandleProperties(const QDBusMessage& message, const QDBusConnection& connection) {
  const QString member = message.member();
  const QList<QVariant> args = message.arguments();
  const QString signature = message.signature();
  auto propertiesOf = [&](const QString& interface, bool& known) {
    known = interface == kRoot || interface == kPlayer;
    return interface == kRoot ? RootProperties() : interface == kPlayer ? PlayerProperties() : QVariantMap();
  };
  if (member == "Get") {
    if (signature != "ss") return connection.send(InvalidArgs(message, "Get takes (ss)"));
    Refresh();
    bool known = false;
    const QVariantMap properties = propertiesOf(args[0].toString(), known);
    if (!known) return connection.send(InvalidArgs(message, "No such interface"));
    const auto it = properties.find(args[1].toString());
    if (it == properties.end()) return connection.send(InvalidArgs(message, "No such property"));
    return connection.send(message.createReply(QVariant::fromValue(QDBusVariant(it.value()))));
  }
  if (member == "GetAll") {
    if (signature != "s") return connection.send(InvalidArgs(message, "GetAll takes (s)"));
    Refresh();
    bool known = false;
    const QVariantMap properties = propertiesOf(args[0].toString(), known);
    if (!known) return connection.send(InvalidArgs(message, "No such interface"));
    return connection.send(message.createReply(QVariant(properties)));
  }
  if (member == "Set") {
    if (signature != "ssv") return connection.send(InvalidArgs(message, "Set takes (ssv)"));
    const QString interface = args[0].toString();
    const QString name = args[1].toString();
    const QVariant value = args[2].value<QDBusVariant>().variant();
    if (interface == kPlayer && name == "Volume") {
      if (value.metaType().id() != QMetaType::Double)
        return connection.send(InvalidArgs(message, "Volume is a double"));
      const double volume = value.toDouble();
      if (!std::isfinite(volume)) return connection.send(InvalidArgs(message, "Volume is not a number"));
      const long level = std::lround(std::clamp(volume, 0.0, 1.0) * 100.0);
      if (!m_client.Send(kMsgSetVolume, level))
        return connection.send(message.createErrorReply(QDBusError::Failed, "The player did not answer"));
      return connection.send(message.createReply());
    }
    if (interface == kPlayer && name == "Rate") {
      if (value.metaType().id() != QMetaType::Double)
        return connection.send(InvalidArgs(message, "Rate is a double"));
      return connection.send(message.createReply());  // only 1.0 exists: nothing to change
    }
    bool known = false;
    const QVariantMap properties = propertiesOf(interface, known);
    if (!known || !properties.contains(name)) return connection.send(InvalidArgs(message, "No such property"));
    return connection.send(message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.PropertyReadOnly"),
                                                    QStringLiteral("Property is read-only")));
  }
  return false;
}

void TMprisObject::SeekTo(int64_t microseconds) {
  if (m_now.LengthMicroseconds <= 0) return;
  if (microseconds < 0) microseconds = 0;
  // Past the end means the next song, as the interface defines it.
  if (microseconds > m_now.LengthMicroseconds) {
    m_client.Send(kMsgNext);
    return;
  }
  // The position slider takes whole percent of the song.
  const long percent = std::lround(100.0 * static_cast<double>(microseconds) / static_cast<double>(m_now.LengthMicroseconds));
  m_client.Send(kMsgSetPosition, percent);
  QDBusMessage seeked = QDBusMessage::createSignal(kPath, kPlayer, QStringLiteral("Seeked"));
  seeked << static_cast<qlonglong>(microseconds);
  m_connection.send(seeked);
}

bool TMprisObject::HandlePlayer(const QDBusMessage& message, const QDBusConnection& connection) {
  const QString member = message.member();
  const QString signature = message.signature();
  const QList<QVariant> args = message.arguments();
  auto simple = [&](auto&& action) {
    if (!signature.isEmpty()) return connection.send(InvalidArgs(message, member + " takes no arguments"));
    Refresh();
    action();
    return connection.send(message.createReply());
  };
  if (member == "Next") return simple([&] { m_client.Send(kMsgNext); });
  if (member == "Previous") return simple([&] { m_client.Send(kMsgPrevious); });
  if (member == "Stop") return simple([&] { m_client.Send(kMsgStop); });
  if (member == "Play") return simple([&] {
      if (m_now.Status != "Playing") m_client.Send(kMsgPlay);
    });
  if (member == "Pause") return simple([&] {
      if (m_now.Status == "Playing") m_client.Send(kMsgPause);
    });
  if (member == "PlayPause") return simple([&] { m_client.Send(m_now.Status == "Playing" ? kMsgPause : kMsgPlay); });
  if (member == "Seek") {
    if (signature != "x") return connection.send(InvalidArgs(message, "Seek takes (x)"));
    Refresh();
    SeekTo(m_now.PositionMicroseconds + args[0].toLongLong());
    return connection.send(message.createReply());
  }
  if (member == "SetPosition") {
    if (signature != "ox") return connection.send(InvalidArgs(message, "SetPosition takes (ox)"));
    Refresh();
    const QString track = args[0].value<QDBusObjectPath>().path();
    const qlonglong position = args[1].toLongLong();
    // A stale track id or a position outside the song is ignored, as the interface asks.
    if (track == TrackId() && position >= 0 && position <= m_now.LengthMicroseconds) SeekTo(position);
    return connection.send(message.createReply());
  }
  if (member == "OpenUri") {
    if (signature != "s") return connection.send(InvalidArgs(message, "OpenUri takes (s)"));
    const QString text = args[0].toString();
    const QUrl url(text, QUrl::StrictMode);
    if (text.isEmpty() || !url.isValid() || url.scheme().isEmpty())
      return connection.send(InvalidArgs(message, "Not a URI: " + text));
    const QString scheme = url.scheme().toLower();
    std::string argument;
    if (scheme == "file") {
      const QString local = url.toLocalFile();
      if (!url.host().isEmpty() || local.isEmpty() || !QFileInfo(local).isFile())
        return connection.send(InvalidArgs(message, "No such file: " + text));
      argument = local.toStdString();
    } else if (scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mms") {
      if (url.host().isEmpty()) return connection.send(InvalidArgs(message, "No host in " + text));
      argument = url.toString(QUrl::FullyEncoded).toStdString();
    } else {
      return connection.send(message.createErrorReply(QDBusError::NotSupported, "Unsupported scheme: " + scheme));
    }
    if (!m_client.HandOver(argument))
      return connection.send(message.createErrorReply(QDBusError::Failed, "The player did not answer"));
    return connection.send(message.createReply());
  }
  return false;
}

bool TMprisObject::HandleRoot(const QDBusMessage& message, const QDBusConnection& connection) {
  const QString member = message.member();
  if (member != "Raise" && member != "Quit") return false;
  if (!message.signature().isEmpty()) return connection.send(InvalidArgs(message, member + " takes no arguments"));
  // The player closes while we answer: do not wait for it.
  if (member == "Quit") m_client.Post(kMsgClose);
  return connection.send(message.createReply());
}

QString TMprisObject::introspect(const QString&) const {
  return QStringLiteral(
      "<interface name=\"org.mpris.MediaPlayer2\">"
      "<method name=\"Raise\"/><method name=\"Quit\"/>"
      "<property name=\"CanQuit\" type=\"b\" access=\"read\"/>"
      "<property name=\"CanRaise\" type=\"b\" access=\"read\"/>"
      "<property name=\"HasTrackList\" type=\"b\" access=\"read\"/>"
      "<property name=\"Identity\" type=\"s\" access=\"read\"/>"
      "<property name=\"SupportedUriSchemes\" type=\"as\" access=\"read\"/>"
      "<property name=\"SupportedMimeTypes\" type=\"as\" access=\"read\"/>"
      "</interface>"
      "<interface name=\"org.mpris.MediaPlayer2.Player\">"
      "<method name=\"Next\"/><method name=\"Previous\"/><method name=\"Pause\"/>"
      "<method name=\"PlayPause\"/><method name=\"Stop\"/><method name=\"Play\"/>"
      "<method name=\"Seek\"><arg name=\"Offset\" type=\"x\" direction=\"in\"/></method>"
      "<method name=\"SetPosition\"><arg name=\"TrackId\" type=\"o\" direction=\"in\"/>"
      "<arg name=\"Position\" type=\"x\" direction=\"in\"/></method>"
      "<method name=\"OpenUri\"><arg name=\"Uri\" type=\"s\" direction=\"in\"/></method>"
      "<signal name=\"Seeked\"><arg name=\"Position\" type=\"x\"/></signal>"
      "<property name=\"PlaybackStatus\" type=\"s\" access=\"read\"/>"
      "<property name=\"Rate\" type=\"d\" access=\"readwrite\"/>"
      "<property name=\"Metadata\" type=\"a{sv}\" access=\"read\"/>"
      "<property name=\"Volume\" type=\"d\" access=\"readwrite\"/>"
      "<property name=\"Position\" type=\"x\" access=\"read\"/>"
      "<property name=\"MinimumRate\" type=\"d\" access=\"read\"/>"
      "<property name=\"MaximumRate\" type=\"d\" access=\"read\"/>"
      "<property name=\"CanGoNext\" type=\"b\" access=\"read\"/>"
      "<property name=\"CanGoPrevious\" type=\"b\" access=\"read\"/>"
      "<property name=\"CanPlay\" type=\"b\" access=\"read\"/>"
      "<property name=\"CanPause\" type=\"b\" access=\"read\"/>"
      "<property name=\"CanSeek\" type=\"b\" access=\"read\"/>"
      "<property name=\"CanControl\" type=\"b\" access=\"read\"/>"
      "</interface>");
}
