// Shared by the bundled input plug-ins (header only, built against sdk/ like any third
// party): the plug-in's byte stream object and the serialized playlist item.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "zpinput_sdk_header.h"

namespace zpkit {

// The stream object behind input_plugin_DataPointer. The C record comes first so the
// host's pointer to it is also a pointer to the whole object.
struct ByteStream {
  zpinput_byte_stream record{};
  std::vector<uint8_t> bytes;

  ByteStream() {
    record.read = &Read;
    record.write = &Write;
    record.seek = &Seek;
    Sync();
  }
  ByteStream(const ByteStream&) = delete;
  ByteStream& operator=(const ByteStream&) = delete;

  void Sync() {
    record.data = bytes.data();
    record.size = bytes.size();
    record.capacity = bytes.capacity();
    record.position = std::min<uint64_t>(record.position, bytes.size());
  }
  void Append(const std::string& data) {
    bytes.insert(bytes.end(), data.begin(), data.end());
    Sync();
  }

  static ByteStream* Self(zpinput_byte_stream* s) { return reinterpret_cast<ByteStream*>(s); }
  static int64_t Read(zpinput_byte_stream* s, void* buffer, uint64_t count) {
    if (s == nullptr || buffer == nullptr) return -1;
    ByteStream* self = Self(s);
    uint64_t left = self->bytes.size() - std::min<uint64_t>(s->position, self->bytes.size());
    uint64_t n = std::min(count, left);
    if (n) std::memcpy(buffer, self->bytes.data() + s->position, n);
    s->position += n;
    return static_cast<int64_t>(n);
  }
  static int64_t Write(zpinput_byte_stream* s, const void* buffer, uint64_t count) {
    if (s == nullptr || (buffer == nullptr && count)) return -1;
    ByteStream* self = Self(s);
    try {
      uint64_t end = s->position + count;
      if (end > self->bytes.size()) self->bytes.resize(end);
      if (count) std::memcpy(self->bytes.data() + s->position, buffer, count);
      uint64_t position = end;
      self->Sync();
      s->position = position;
      return static_cast<int64_t>(count);
    } catch (...) {
      return -1;
    }
  }
  static uint64_t Seek(zpinput_byte_stream* s, uint64_t position) {
    if (s == nullptr) return 0;
    s->position = std::min<uint64_t>(position, Self(s)->bytes.size());
    return s->position;
  }
};

// ---- the serialized playlist item ----

struct Item {
  std::string Path, Artist, Title, Album, Genre, Year;
  int32_t CDIndex = 0, StartPos = 0, EndPos = 0, Length = 0;
  int64_t Size = 0;
  int32_t Date = 0;
  int32_t Sliders[14] = {50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50};
  bool TagsRead = false;
};

inline std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    uint32_t cp = 0xFFFD;
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > text.size()) {
      ++i;
    } else {
      cp = n == 1 ? c : c & (0x7F >> n);
      bool ok = true;
      for (size_t k = 1; k < n; ++k) {
        unsigned char d = static_cast<unsigned char>(text[i + k]);
        if ((d & 0xC0) != 0x80) ok = false;
        cp = (cp << 6) | (d & 0x3F);
      }
      if (!ok) cp = 0xFFFD, n = 1;
      i += n;
    }
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp > 0x10FFFF ? 0xFFFD : cp));
    }
  }
  return out;
}

inline std::string Utf16ToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

// The writers take the host's stream bytes (std::vector<uint8_t>) or a std::string; each
// grows the output once per field and fills it in place.
template <class Out>
inline void PutInt(Out& out, uint64_t value, int bytes) {
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(bytes));
  for (int i = 0; i < bytes; ++i)
    out[at + static_cast<size_t>(i)] = static_cast<typename Out::value_type>((value >> (8 * i)) & 0xFF);
}
template <class Out>
inline void PutString(Out& out, const std::string& text) {
  // Most locators and names are plain ASCII: one unit per byte, written straight through.
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    PutInt(out, static_cast<uint32_t>(text.size()), 4);
    const size_t at = out.size();
    out.resize(at + 2 * text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      out[at + 2 * i] = static_cast<typename Out::value_type>(text[i]);
      out[at + 2 * i + 1] = 0;
    }
    return;
  }
  std::u16string units = Utf8ToUtf16(text);
  PutInt(out, static_cast<uint32_t>(units.size()), 4);
  const size_t at = out.size();
  out.resize(at + 2 * units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    out[at + 2 * i] = static_cast<typename Out::value_type>(units[i] & 0xFF);
    out[at + 2 * i + 1] = static_cast<typename Out::value_type>(units[i] >> 8);
  }
}

template <class Out>
inline void WriteItem(Out& out, const Item& item) {
  for (const std::string* s :
       {&item.Path, &item.Artist, &item.Title, &item.Album, &item.Genre, &item.Year})
    PutString(out, *s);
  // The fixed fields: four int32, an int64, an int32, fourteen int32 and a byte.
  constexpr size_t kFixed = 4 * 4 + 8 + 4 + 14 * 4 + 1;
  const size_t at = out.size();
  out.resize(at + kFixed);
  size_t p = at;
  auto put = [&](uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      out[p++] = static_cast<typename Out::value_type>((value >> (8 * i)) & 0xFF);
  };
  for (int32_t v : {item.CDIndex, item.StartPos, item.EndPos, item.Length}) put(static_cast<uint32_t>(v), 4);
  put(static_cast<uint64_t>(item.Size), 8);
  put(static_cast<uint32_t>(item.Date), 4);
  for (int32_t v : item.Sliders) put(static_cast<uint32_t>(v), 4);
  put(item.TagsRead ? 1 : 0, 1);
}

// Reads every item; a count beyond the data or negative ends the reading (the cut item is
// kept with what was read).
inline std::vector<Item> ReadItems(const uint8_t* data, size_t size) {
  std::vector<Item> items;
  size_t pos = 0;
  auto get = [&](int bytes, uint64_t& value) {
    if (size - pos < static_cast<size_t>(bytes)) {
      pos = size;
      return false;
    }
    value = 0;
    for (int i = 0; i < bytes; ++i) value |= static_cast<uint64_t>(data[pos + i]) << (8 * i);
    pos += static_cast<size_t>(bytes);
    return true;
  };
  auto getString = [&](std::string& text) {
    uint64_t count = 0;
    if (!get(4, count)) return false;
    int32_t n = static_cast<int32_t>(static_cast<uint32_t>(count));
    if (n < 0 || static_cast<uint64_t>(n) * 2 > size - pos) {
      pos = size;
      return false;
    }
    std::u16string units(static_cast<size_t>(n), u'\0');
    for (int32_t i = 0; i < n; ++i)
      units[static_cast<size_t>(i)] =
          static_cast<char16_t>(data[pos + 2 * i] | (data[pos + 2 * i + 1] << 8));
    pos += static_cast<size_t>(n) * 2;
    text = Utf16ToUtf8(units);
    return true;
  };
  while (pos < size) {
    Item item;
    uint64_t v = 0;
    bool ok = true;
    for (std::string* s :
         {&item.Path, &item.Artist, &item.Title, &item.Album, &item.Genre, &item.Year})
      ok = ok && getString(*s);
    for (int32_t* f : {&item.CDIndex, &item.StartPos, &item.EndPos, &item.Length})
      if (ok && (ok = get(4, v))) *f = static_cast<int32_t>(static_cast<uint32_t>(v));
    if (ok && (ok = get(8, v))) item.Size = static_cast<int64_t>(v);
    if (ok && (ok = get(4, v))) item.Date = static_cast<int32_t>(static_cast<uint32_t>(v));
    for (int32_t& f : item.Sliders)
      if (ok && (ok = get(4, v))) f = static_cast<int32_t>(static_cast<uint32_t>(v));
    if (ok && (ok = get(1, v))) item.TagsRead = v != 0;
    items.push_back(std::move(item));
  }
  return items;
}

// Fills the structure the host receives with the plug-in's object, information and entry
// points; every bundled plug-in answers zpinput_Plugin_Interface with it.
inline Tzpinput_plugin_structure* BindPluginStructure(Tzpinput_plugin_structure& plugin,
                                                      zpinput_data_object& object, Tzpinput_plugin_INFO& info,
                                                      zpinput_Initialize_Function initialize,
                                                      zpinput_LoadData_Function load, zpinput_SaveData_Function save,
                                                      zpinput_Close_Procedure close) {
  plugin.input_plugin_DataPointer = &object;
  plugin.input_plugin_Info = &info;
  plugin.input_plugin_Initialize = initialize;
  plugin.input_plugin_LoadData = load;
  plugin.input_plugin_SaveData = save;
  plugin.input_plugin_Close = close;
  return &plugin;
}

inline std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}
inline std::string ExtensionOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return UpperAscii(path.substr(dot));
}

}  // namespace zpkit
