// The playlists plug-in's readers (M3U, M3U8, PLS, XSPF, ASX, WPL), and its writers on what
// they read. The first byte picks the format.
#include "../../plugins/zpinput_playlists/ZpinputPlaylists.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const char* const kFormats[] = {".M3U", ".M3U8", ".PLS", ".XSPF", ".ASX", ".WPL"};
  const QString ext = QLatin1String(kFormats[data[0] % 6]);
  const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
  const QString folder = QStringLiteral("/music/lists");
  std::vector<Item> items;
  if (ext.startsWith(QLatin1String(".M3U"))) {
    // The M3U reader writes the host's stream itself. Its byte-level shortcuts must give what
    // reading every line through QString gives, and stay inside the bound reserved for it.
    std::vector<uint8_t> read;
    ReadM3U(bytes, folder, read);
    std::string general;
    ReadM3U(bytes, folder, general, true);
    if (general.size() != read.size() || (!read.empty() && std::memcmp(general.data(), read.data(), read.size()) != 0))
      __builtin_trap();
    if (read.size() > M3UStreamBound(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), folder))
      __builtin_trap();
    items = zpkit::ReadItems(read.data(), read.size());
  } else if (ext == QLatin1String(".PLS")) {
    items = ReadPLS(bytes, folder);
  } else {
    items = ReadXml(bytes, folder, ext);
  }
  WriteFormat(items, ext);
  std::string stream;
  for (const Item& item : items) zpkit::WriteItem(stream, item);
  zpkit::ReadItems(reinterpret_cast<const uint8_t*>(stream.data()), stream.size());
  return 0;
}
