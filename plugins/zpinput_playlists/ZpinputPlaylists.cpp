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

#include <sys/mman.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string_view>

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

// Bytes read as Windows-1252: 0x80..0x9F by its table, the five unassigned bytes stay as
// their Latin-1 controls.
QString Windows1252Text(QByteArrayView bytes) {
  static const char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  QString text(bytes.size(), Qt::Uninitialized);
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    text[i] = QChar(c >= 0x80 && c <= 0x9F ? kHigh[c - 0x80] : char16_t(c));
  }
  return text;
}

// M3U text: UTF-8 when it is valid UTF-8, else Windows-1252 (what such lists were written in).
QString M3UTextOf(const QByteArray& data) {
  QByteArray bytes = data;
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
  // Stateless: a sequence cut off by the end of the file is an error, not held back.
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8(bytes);
  if (!utf8.hasError()) return text;
  return Windows1252Text(bytes);
}

constexpr qsizetype kLongestM3ULine = 32 * 1024;

// ---- M3U lines as UTF-8 bytes ----
// A long list is read without turning it into one big QString: the lines are taken from the
// bytes, and only a line that needs more than ASCII rules (Unicode spaces at its ends, a file
// URL, backslashes, dot segments) goes through QString. With `general` every line does, which
// is how the fuzzer checks that both ways agree.

bool IsAsciiSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string_view TrimAscii(std::string_view text) {
  while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
  return text;
}

// A piece of the text as QString; a U+FEFF at its start is a character here, not a mark.
QString QStringOf(std::string_view text) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  return utf8(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
}

// Trimmed as QString::trimmed trims; the bytes themselves unless a non-ASCII character is at
// an end (it may be a Unicode space).
void AssignTrimmed(std::string& out, std::string_view text, bool general) {
  const std::string_view t = TrimAscii(text);
  if (general || (!t.empty() && (static_cast<unsigned char>(t.front()) >= 0x80 ||
                                 static_cast<unsigned char>(t.back()) >= 0x80))) {
    out = QStringOf(text).trimmed().toStdString();
    return;
  }
  out.assign(t.data(), t.size());
}

// Length of the text in UTF-16 units.
qsizetype Utf16Length(std::string_view text) {
  qsizetype units = 0;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if ((b & 0xC0) != 0x80) ++units;
    if (b >= 0xF0) ++units;
  }
  return units;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != prefix[i]) return false;
  }
  return true;
}

// A path without empty, "." or ".." segments, which cleaning leaves as it is.
bool IsCleanPath(std::string_view path) {
  if (!path.empty() && path.front() == '/') path.remove_prefix(1);
  if (path.empty()) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    const std::string_view segment = path.substr(start, end - start);
    if (segment.empty() || segment == "." || segment == "..") return false;
    start = end + 1;
  }
  return true;
}

// The playlist's folder, as Resolve joins entries to it.
struct TM3UFolder {
  QString Text;
  std::string Utf8;
  bool Clean = false;  // joining a clean relative path needs no cleaning
};

TM3UFolder FolderOf(const QString& folder) {
  TM3UFolder f;
  f.Text = folder;
  f.Utf8 = folder.toStdString();
  f.Clean = folder.size() > 1 && QDir::cleanPath(folder) == folder && folder.startsWith(QLatin1Char('/'));
  return f;
}

void ResolveInto(std::string& out, std::string_view locator, const TM3UFolder& folder, bool general) {
  const bool simple = !general && !locator.empty() && locator.front() != ':' &&
                      locator.find("://") == std::string_view::npos &&
                      locator.find('\\') == std::string_view::npos &&
                      !StartsWithNoCase(locator, "FILE:") && IsCleanPath(locator);
  if (simple && locator.front() == '/') {
    out.assign(locator.data(), locator.size());
  } else if (simple && folder.Clean) {
    out.assign(folder.Utf8);
    out += '/';
    out.append(locator.data(), locator.size());
  } else {
    out = Resolve(QStringOf(locator), folder.Text);
  }
}

// "#EXTINF:" + length + "," + display: the length in seconds (0 unless a positive number).
int32_t ExtinfLength(std::string_view text, bool general) {
  const std::string_view t = TrimAscii(text);
  bool plain = !general && !t.empty();
  // QString reads a number only up to a NUL: such a field goes that way too.
  for (char c : t) plain = plain && c != 0 && static_cast<unsigned char>(c) < 0x80;
  if (!plain) {
    bool ok = false;
    const int length = QStringOf(text).trimmed().toInt(&ok);
    return ok && length > 0 ? length : 0;
  }
  std::string_view digits = t;
  if (digits.front() == '+' || digits.front() == '-') digits.remove_prefix(1);
  int64_t value = 0;
  if (digits.empty()) return 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return 0;
  }
  return t.front() == '-' ? 0 : static_cast<int32_t>(value);
}

void SplitDisplayInto(std::string_view display, Item& item, bool general) {
  const size_t dash = display.find(" - ");
  if (dash != std::string_view::npos && dash > 0) {
    AssignTrimmed(item.Artist, display.substr(0, dash), general);
    AssignTrimmed(item.Title, display.substr(dash + 3), general);
  } else {
    item.Artist.clear();
    AssignTrimmed(item.Title, display, general);
  }
}

// Each entry goes straight into the host's stream: a list of a million entries is never held
// twice over. `text` is UTF-8.
template <class Out>
void ReadM3UText(std::string_view text, const TM3UFolder& folder, Out& bytes, bool general) {
  Item pending;
  bool havePending = false;
  Item item;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    // No locator or title is that long: such a line is damage, and is skipped with the title
    // before it rather than copied around.
    if (static_cast<qsizetype>(raw.size()) > kLongestM3ULine && Utf16Length(raw) > kLongestM3ULine) {
      havePending = false;
      continue;
    }
    std::string_view line = TrimAscii(raw);
    std::string unicodeTrimmed;
    if (general || (!line.empty() && (static_cast<unsigned char>(line.front()) >= 0x80 ||
                                      static_cast<unsigned char>(line.back()) >= 0x80))) {
      unicodeTrimmed = QStringOf(raw).trimmed().toStdString();
      line = unicodeTrimmed;
    }
    if (line.empty()) continue;
    if (StartsWithNoCase(line, "#EXTINF:")) {
      const std::string_view rest = line.substr(8);
      const size_t comma = rest.find(',');
      pending.Length = ExtinfLength(rest.substr(0, comma), general);
      pending.Artist.clear();
      pending.Title.clear();
      if (comma != std::string_view::npos) SplitDisplayInto(rest.substr(comma + 1), pending, general);
      havePending = true;
      continue;
    }
    if (line.front() == '#') continue;
    if (havePending) {
      std::swap(item.Artist, pending.Artist);
      std::swap(item.Title, pending.Title);
      item.Length = pending.Length;
    } else {
      item.Artist.clear();
      item.Title.clear();
      item.Length = 0;
    }
    havePending = false;
    ResolveInto(item.Path, line, folder, general);
    if (!item.Path.empty()) zpkit::WriteItem(bytes, item);
  }
}

// The list's text as UTF-8 without a byte order mark: the bytes themselves when they are
// valid UTF-8, else their Windows-1252 reading (kept in `converted`).
std::string_view M3UUtf8Of(std::string_view data, std::string& converted, bool general) {
  if (general) {
    converted = M3UTextOf(QByteArray(data.data(), static_cast<qsizetype>(data.size()))).toStdString();
    return converted;
  }
  if (data.substr(0, 3) == "\xEF\xBB\xBF") data.remove_prefix(3);
  const QByteArrayView view(data.data(), static_cast<qsizetype>(data.size()));
  if (view.isValidUtf8()) {
    // The UTF-8 decoder takes one more mark at the start as a mark too.
    if (data.substr(0, 3) == "\xEF\xBB\xBF") data.remove_prefix(3);
    return data;
  }
  converted = Windows1252Text(view).toStdString();
  return converted;
}

template <class Out>
void ReadM3U(std::string_view data, const QString& folder, Out& bytes, bool general = false) {
  std::string converted;
  ReadM3UText(M3UUtf8Of(data, converted, general), FolderOf(folder), bytes, general);
}

template <class Out>
void ReadM3U(const QByteArray& data, const QString& folder, Out& bytes, bool general = false) {
  ReadM3U(std::string_view(data.constData(), static_cast<size_t>(data.size())), folder, bytes, general);
}

// A buffer of many megabytes is filled faster in large pages: one page fault for every 2 MiB
// instead of one for every 4 KiB. Only the whole pages inside the buffer are marked.
void PreferLargePages(const void* buffer, size_t size) {
#ifdef MADV_HUGEPAGE
  constexpr uintptr_t kLargePage = uintptr_t(2) << 20;
  const auto begin = (reinterpret_cast<uintptr_t>(buffer) + kLargePage - 1) & ~(kLargePage - 1);
  const auto end = (reinterpret_cast<uintptr_t>(buffer) + size) & ~(kLargePage - 1);
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)buffer;
  (void)size;
#endif
}

// What the stream of a list of this many bytes takes at most: every byte a UTF-16 unit, and
// each line an entry's fixed fields and the folder a relative path is joined to. Reserved,
// not touched: only what is written costs pages.
size_t M3UStreamBound(std::string_view data, const QString& folder) {
  const size_t lines = static_cast<size_t>(std::count(data.begin(), data.end(), '\n')) + 1;
  const size_t folderUnits = static_cast<size_t>(folder.size()) + 1;
  return 2 * data.size() + lines * (6 * 4 + 4 * 4 + 8 + 4 + 14 * 4 + 1 + 2 * folderUnits);
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
    // At most 64 MiB (a million entries and more): a bigger file is read that far.
    constexpr qint64 kMostBytes = qint64(64) << 20;
    const qint64 size = file.size();
    const QString folder = QFileInfo(path).absolutePath();
    g_stream->bytes.clear();
    g_stream->record.position = 0;
    if (ext.startsWith(QLatin1String(".M3U"))) {
      // Read into a buffer of the file's size (large pages for a long list); a file that does
      // not tell its size is read as far as the limit.
      QByteArray unsized;
      std::unique_ptr<char[]> sized;
      std::string_view data;
      if (size > 0) {
        const qint64 wanted = std::min(size, kMostBytes);
        sized.reset(new char[static_cast<size_t>(wanted)]);
        PreferLargePages(sized.get(), static_cast<size_t>(wanted));
        const qint64 got = file.read(sized.get(), wanted);
        data = std::string_view(sized.get(), static_cast<size_t>(std::max<qint64>(got, 0)));
      } else {
        unsized = file.read(kMostBytes);
        data = std::string_view(unsized.constData(), static_cast<size_t>(unsized.size()));
      }
      g_stream->bytes.reserve(M3UStreamBound(data, folder));
      PreferLargePages(g_stream->bytes.data(), g_stream->bytes.capacity());
      ReadM3U(data, folder, g_stream->bytes);
    } else {
      // Asked for no more than the file holds, so a small list does not reserve the whole limit.
      const QByteArray data = file.read(size > 0 ? std::min(size, kMostBytes) : kMostBytes);
      const std::vector<Item> items = ext == QLatin1String(".PLS") ? ReadPLS(data, folder) : ReadXml(data, folder, ext);
      for (const Item& item : items) zpkit::WriteItem(g_stream->bytes, item);
    }
    g_stream->Sync();
    return ZPINPUT_RESULT_SUCCESS;
  } catch (...) {
    if (g_stream) {
      g_stream->bytes.clear();
      g_stream->Sync();
    }
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
