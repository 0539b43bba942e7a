// Playlist input plug-in: M3U, M3U8, PLS, XSPF, ASX and WPL, read and written.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringTokenizer>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <memory>

#include "zpinput_shared/ZpinputPluginKit.h"

namespace {

using zpkit::Item;

Tzpinput_plugin_Format_RecordArray g_formats = {
    {"MP3 Playlist", ".m3u"},        {"UTF-8 MP3 Playlist", ".m3u8"},
    {"Shoutcast Playlist", ".pls"},  {"XML Shareable Playlist", ".xspf"},
    {"Advanced Stream Redirector", ".asx"}, {"Windows Media Playlist", ".wpl"}};
Tzpinput_plugin_INFO g_info = {100, "Zorvane playlist formats", ZPINPUT_TYPE_PLAYLIST, 6,
                               &g_formats};
std::unique_ptr<zpkit::ByteStream> g_stream;
zpinput_data_object g_object{};
Tzpinput_plugin_structure g_plugin{};


// A locator as the player keeps it: URLs unchanged, file URLs and relative paths made
// absolute against the playlist's folder.
std::string Resolve(QString locator, const QString& folder) {
  locator = locator.trimmed();
  if (locator.isEmpty()) return {};
  if (locator.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive))
    return QUrl(locator).toLocalFile().toStdString();
  int scheme = locator.indexOf(QStringLiteral("://"));
  if (scheme > 1) return locator.toStdString();
  // Lists written on other systems use backslashes and drive letters.
  if (locator.contains(QLatin1Char('\\'))) locator.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (QDir::isAbsolutePath(locator)) return QDir::cleanPath(locator).toStdString();
  return QDir::cleanPath(folder + QLatin1Char('/') + locator).toStdString();
}

void SplitDisplay(const QString& display, Item& item) {
  int dash = display.indexOf(QStringLiteral(" - "));
  if (dash > 0) {
    item.Artist = display.left(dash).trimmed().toStdString();
    item.Title = display.mid(dash + 3).trimmed().toStdString();
  } else {
    item.Title = display.trimmed().toStdString();
  }
}

QString TextOf(const QByteArray& data) {
  QByteArray bytes = data;
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
  return QString::fromUtf8(bytes);
}

// M3U text: UTF-8 when it is valid UTF-8, else Windows-1252 (what such lists were written in).
QString M3UTextOf(const QByteArray& data) {
  QByteArray bytes = data;
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8(bytes);
  if (!utf8.hasError()) return text;
  // 0x80..0x9F of Windows-1252; the five unassigned bytes stay as their Latin-1 controls.
  static const char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  text.resize(bytes.size());
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    text[i] = QChar(c >= 0x80 && c <= 0x9F ? kHigh[c - 0x80] : char16_t(c));
  }
  return text;
}

constexpr qsizetype kLongestM3ULine = 32 * 1024;

// Each entry goes straight into the host's stream: a list of a million entries is never held
// twice over.
void ReadM3U(const QByteArray& data, const QString& folder, std::string& bytes) {
  Item pending;
  bool havePending = false;
  Item item;
  const QString text = M3UTextOf(data);
  for (QStringView view : QStringTokenizer(text, u'\n')) {
    // No locator or title is that long: such a line is damage, and is skipped with the title
    // before it rather than copied around.
    if (view.size() > kLongestM3ULine) {
      havePending = false;
      continue;
    }
    const QString line = view.trimmed().toString();
    if (line.isEmpty()) continue;
    if (line.startsWith(QStringLiteral("#EXTINF:"), Qt::CaseInsensitive)) {
      pending = Item{};
      QString rest = line.mid(8);
      int comma = rest.indexOf(QLatin1Char(','));
      bool ok = false;
      int length = rest.left(comma < 0 ? rest.size() : comma).trimmed().toInt(&ok);
      pending.Length = ok && length > 0 ? length : 0;
      if (comma >= 0) SplitDisplay(rest.mid(comma + 1), pending);
      havePending = true;
      continue;
    }
    if (line.startsWith(QLatin1Char('#'))) continue;
    if (havePending) std::swap(item, pending);
    else item = Item{};
    havePending = false;
    item.Path = Resolve(line, folder);
    if (!item.Path.empty()) zpkit::WriteItem(bytes, item);
  }
}

std::vector<Item> ReadPLS(const QByteArray& data, const QString& folder) {
  QMap<int, Item> byNumber;
  for (QString line : TextOf(data).split(QLatin1Char('\n'))) {
    line = line.trimmed();
    int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0) continue;
    QString key = line.left(eq).trimmed().toLower();
    QString value = line.mid(eq + 1).trimmed();
    QString prefix;
    for (const char* p : {"file", "title", "length"})
      if (key.startsWith(QLatin1String(p))) prefix = QLatin1String(p);
    if (prefix.isEmpty()) continue;
    bool ok = false;
    int number = key.mid(prefix.size()).toInt(&ok);
    if (!ok) continue;
    Item& item = byNumber[number];
    if (prefix == QLatin1String("file")) item.Path = Resolve(value, folder);
    else if (prefix == QLatin1String("title")) SplitDisplay(value, item);
    else item.Length = std::max(0, value.toInt());
  }
  std::vector<Item> items;
  for (const Item& item : byNumber)
    if (!item.Path.empty()) items.push_back(item);
  return items;
}

// XSPF, ASX and WPL: element names compared ignoring case (ASX is written in any case).
std::vector<Item> ReadXml(const QByteArray& data, const QString& folder, const QString& ext) {
  std::vector<Item> items;
  QXmlStreamReader xml(data);
  Item current;
  bool inEntry = false;
  const QString entryName = ext == QLatin1String(".XSPF") ? QStringLiteral("track")
                                                          : QStringLiteral("entry");
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      const QString name = xml.name().toString().toLower();
      if (ext == QLatin1String(".WPL")) {
        if (name == QLatin1String("media")) {
          Item item;
          for (const auto& a : xml.attributes())
            if (a.name().toString().toLower() == QLatin1String("src"))
              item.Path = Resolve(a.value().toString(), folder);
          if (!item.Path.empty()) items.push_back(item);
        }
        continue;
      }
      if (name == entryName) {
        current = Item{};
        inEntry = true;
      } else if (inEntry && ext == QLatin1String(".XSPF")) {
        if (name == QLatin1String("location") && current.Path.empty()) {
          // XSPF locations are URI references: relative ones are percent-encoded too.
          QString location = xml.readElementText().trimmed();
          if (location.indexOf(QStringLiteral("://")) < 0 && !location.startsWith(QStringLiteral("file:")))
            location = QUrl::fromPercentEncoding(location.toUtf8());
          current.Path = Resolve(location, folder);
        }
        else if (name == QLatin1String("title")) current.Title = xml.readElementText().toStdString();
        else if (name == QLatin1String("creator")) current.Artist = xml.readElementText().toStdString();
        else if (name == QLatin1String("album")) current.Album = xml.readElementText().toStdString();
        else if (name == QLatin1String("duration"))
          current.Length = std::max(0, static_cast<int>(xml.readElementText().toLongLong() / 1000));
      } else if (inEntry) {
        if (name == QLatin1String("ref") && current.Path.empty()) {
          for (const auto& a : xml.attributes())
            if (a.name().toString().toLower() == QLatin1String("href"))
              current.Path = Resolve(a.value().toString(), folder);
        } else if (name == QLatin1String("title")) {
          current.Title = xml.readElementText().toStdString();
        } else if (name == QLatin1String("author")) {
          current.Artist = xml.readElementText().toStdString();
        }
      }
    } else if (xml.isEndElement() && inEntry &&
               xml.name().toString().toLower() == entryName) {
      inEntry = false;
      if (!current.Path.empty()) items.push_back(current);
    }
  }
  return items;
}

QString Display(const Item& item) {
  QString title = QString::fromStdString(item.Title);
  if (title.isEmpty()) title = QFileInfo(QString::fromStdString(item.Path)).completeBaseName();
  if (!item.Artist.empty()) return QString::fromStdString(item.Artist) + QStringLiteral(" - ") + title;
  return title;
}

QString XmlLocation(const std::string& path) {
  QString p = QString::fromStdString(path);
  if (p.indexOf(QStringLiteral("://")) > 1) return p;
  return QString::fromLatin1(QUrl::fromLocalFile(p).toEncoded());
}

QByteArray WriteFormat(const std::vector<Item>& items, const QString& ext) {
  QByteArray out;
  if (ext == QLatin1String(".M3U") || ext == QLatin1String(".M3U8")) {
    out += "#EXTM3U\n";
    for (const Item& item : items) {
      out += "#EXTINF:" + QByteArray::number(item.Length > 0 ? item.Length : -1) + "," +
             Display(item).toUtf8() + "\n";
      out += QByteArray::fromStdString(item.Path) + "\n";
    }
  } else if (ext == QLatin1String(".PLS")) {
    out += "[playlist]\n";
    int n = 0;
    for (const Item& item : items) {
      QByteArray k = QByteArray::number(++n);
      out += "File" + k + "=" + QByteArray::fromStdString(item.Path) + "\n";
      out += "Title" + k + "=" + Display(item).toUtf8() + "\n";
      out += "Length" + k + "=" + QByteArray::number(item.Length > 0 ? item.Length : -1) + "\n";
    }
    out += "NumberOfEntries=" + QByteArray::number(n) + "\nVersion=2\n";
  } else {
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    if (ext == QLatin1String(".XSPF")) {
      xml.writeStartElement(QStringLiteral("playlist"));
      xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1"));
      xml.writeDefaultNamespace(QStringLiteral("http://xspf.org/ns/0/"));
      xml.writeStartElement(QStringLiteral("trackList"));
      for (const Item& item : items) {
        xml.writeStartElement(QStringLiteral("track"));
        xml.writeTextElement(QStringLiteral("location"), XmlLocation(item.Path));
        if (!item.Title.empty()) xml.writeTextElement(QStringLiteral("title"), QString::fromStdString(item.Title));
        if (!item.Artist.empty()) xml.writeTextElement(QStringLiteral("creator"), QString::fromStdString(item.Artist));
        if (!item.Album.empty()) xml.writeTextElement(QStringLiteral("album"), QString::fromStdString(item.Album));
        if (item.Length > 0)
          xml.writeTextElement(QStringLiteral("duration"), QString::number(int64_t(item.Length) * 1000));
        xml.writeEndElement();
      }
      xml.writeEndElement();
      xml.writeEndElement();
    } else if (ext == QLatin1String(".ASX")) {
      xml.writeStartElement(QStringLiteral("asx"));
      xml.writeAttribute(QStringLiteral("version"), QStringLiteral("3.0"));
      for (const Item& item : items) {
        xml.writeStartElement(QStringLiteral("entry"));
        if (!item.Title.empty()) xml.writeTextElement(QStringLiteral("title"), QString::fromStdString(item.Title));
        if (!item.Artist.empty()) xml.writeTextElement(QStringLiteral("author"), QString::fromStdString(item.Artist));
        xml.writeStartElement(QStringLiteral("ref"));
        xml.writeAttribute(QStringLiteral("href"), XmlLocation(item.Path));
        xml.writeEndElement();
        xml.writeEndElement();
      }
      xml.writeEndElement();
    } else {  // WPL
      xml.writeProcessingInstruction(QStringLiteral("wpl"), QStringLiteral("version=\"1.0\""));
      xml.writeStartElement(QStringLiteral("smil"));
      xml.writeStartElement(QStringLiteral("body"));
      xml.writeStartElement(QStringLiteral("seq"));
      for (const Item& item : items) {
        xml.writeStartElement(QStringLiteral("media"));
        xml.writeAttribute(QStringLiteral("src"), QString::fromStdString(item.Path));
        xml.writeEndElement();
      }
      xml.writeEndElement();
      xml.writeEndElement();
      xml.writeEndElement();
    }
    xml.writeEndDocument();
  }
  return out;
}

bool Supported(const QString& ext) {
  for (const char* e : {".M3U", ".M3U8", ".PLS", ".XSPF", ".ASX", ".WPL"})
    if (ext == QLatin1String(e)) return true;
  return false;
}

int32_t Initialize() {
  try {
    g_stream = std::make_unique<zpkit::ByteStream>();
    g_object.stream = &g_stream->record;
    return ZPINPUT_RESULT_SUCCESS;
  } catch (...) {
    return ZPINPUT_RESULT_FAILURE;
  }
}

int32_t LoadData(const char* fileName) {
  if (fileName == nullptr || !g_stream) return ZPINPUT_RESULT_FAILURE;
  try {
    const QString path = QString::fromUtf8(fileName);
    const QString ext = QString::fromStdString(zpkit::ExtensionOf(fileName));
    if (!Supported(ext)) return ZPINPUT_RESULT_FAILURE;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return ZPINPUT_RESULT_FAILURE;
    // At most 64 MiB (a million entries and more): a bigger file is read that far. Asked for
    // no more than the file holds, so a small list does not reserve the whole limit.
    constexpr qint64 kMostBytes = qint64(64) << 20;
    const qint64 size = file.size();
    const QByteArray data = file.read(size > 0 ? std::min(size, kMostBytes) : kMostBytes);
    const QString folder = QFileInfo(path).absolutePath();
    std::string bytes;
    if (ext.startsWith(QLatin1String(".M3U"))) {
      // About what an entry takes in the stream per byte of the list: no regrowing.
      bytes.reserve(size_t(data.size()) * 2 + 4096);
      ReadM3U(data, folder, bytes);
    } else {
      const std::vector<Item> items = ext == QLatin1String(".PLS") ? ReadPLS(data, folder) : ReadXml(data, folder, ext);
      for (const Item& item : items) zpkit::WriteItem(bytes, item);
    }
    g_stream->bytes.clear();
    g_stream->record.position = 0;
    g_stream->Append(bytes);
    return ZPINPUT_RESULT_SUCCESS;
  } catch (...) {
    return ZPINPUT_RESULT_FAILURE;
  }
}

int32_t SaveData(const char* fileName, const char* /*destination*/) {
  if (fileName == nullptr || !g_stream) return ZPINPUT_RESULT_FAILURE;
  try {
    const QString ext = QString::fromStdString(zpkit::ExtensionOf(fileName));
    if (!Supported(ext)) return ZPINPUT_RESULT_FAILURE;
    std::vector<Item> items = zpkit::ReadItems(g_stream->bytes.data(), g_stream->bytes.size());
    QSaveFile file(QString::fromUtf8(fileName));
    if (!file.open(QIODevice::WriteOnly)) return ZPINPUT_RESULT_FAILURE;
    const QByteArray out = WriteFormat(items, ext);
    if (file.write(out) != out.size() || !file.commit()) return ZPINPUT_RESULT_FAILURE;
    return ZPINPUT_RESULT_SUCCESS;
  } catch (...) {
    return ZPINPUT_RESULT_FAILURE;
  }
}

void Close() {
  g_object.stream = nullptr;
  g_stream.reset();
}

}  // namespace

extern "C" __attribute__((visibility("default"))) Tzpinput_plugin_structure* zpinput_Plugin_Interface() {
  return zpkit::BindPluginStructure(g_plugin, g_object, g_info, &Initialize, &LoadData, &SaveData, &Close);
}
