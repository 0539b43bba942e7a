#include "util/LittleEndianFields.h"

#include "util/TextEncoding.h"

namespace {

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}
}  // namespace

void PutInt32(std::string& s, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  const char bytes[4] = {static_cast<char>(u), static_cast<char>(u >> 8), static_cast<char>(u >> 16),
                         static_cast<char>(u >> 24)};
  s.append(bytes, 4);
}

void PutInt64(std::string& s, int64_t v) {
  PutInt32(s, static_cast<int32_t>(static_cast<uint64_t>(v) & 0xFFFFFFFFu));
  PutInt32(s, static_cast<int32_t>(static_cast<uint64_t>(v) >> 32));
}

void PutUint8(std::string& s, uint8_t v) { s.push_back(static_cast<char>(v)); }

void PutString(std::string& s, const std::string& text) {
  // Most texts are plain ASCII: one code unit per byte, no conversion needed.
  if (IsAscii(text)) {
    PutInt32(s, static_cast<int32_t>(text.size()));
    const size_t at = s.size();
    s.resize(at + 2 * text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      s[at + 2 * i] = text[i];
      s[at + 2 * i + 1] = '\0';
    }
    return;
  }
  const std::u16string units = Utf8ToUtf16(text);
  PutInt32(s, static_cast<int32_t>(units.size()));
  const size_t at = s.size();
  s.resize(at + 2 * units.size());
  for (size_t i = 0; i < units.size(); ++i) {
    s[at + 2 * i] = static_cast<char>(units[i] & 0xFF);
    s[at + 2 * i + 1] = static_cast<char>(units[i] >> 8);
  }
}

bool TStreamReader::Raw(std::size_t n, uint64_t& u) {
  if (m_data.size() - m_pos < n) {
    m_pos = m_data.size();
    return false;
  }
  u = 0;
  for (std::size_t i = 0; i < n; ++i) u |= static_cast<uint64_t>(static_cast<unsigned char>(m_data[m_pos + i])) << (8 * i);
  m_pos += n;
  return true;
}

bool TStreamReader::Int32(int32_t& v) {
  uint64_t u;
  if (!Raw(4, u)) return false;
  v = static_cast<int32_t>(static_cast<uint32_t>(u));
  return true;
}

bool TStreamReader::Int64(int64_t& v) {
  uint64_t u;
  if (!Raw(8, u)) return false;
  v = static_cast<int64_t>(u);
  return true;
}

bool TStreamReader::Byte(bool& v) {
  uint64_t u;
  if (!Raw(1, u)) return false;
  v = u != 0;
  return true;
}

bool TStreamReader::Uint8(uint8_t& v) {
  uint64_t u;
  if (!Raw(1, u)) return false;
  v = static_cast<uint8_t>(u);
  return true;
}

bool TStreamReader::String(std::string& v) {
  int32_t count;
  if (!Int32(count)) return false;
  const std::size_t available = m_data.size() - m_pos;
  if (count < 0 || static_cast<uint64_t>(count) * 2 > available) {
    m_pos = m_data.size();
    return false;
  }
  const std::size_t n = static_cast<std::size_t>(count);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(m_data.data()) + m_pos;
  m_pos += n * 2;
  // Most texts are plain ASCII: one byte per code unit, no conversion needed.
  bool ascii = true;
  for (std::size_t i = 0; i < n && ascii; ++i) ascii = bytes[2 * i + 1] == 0 && bytes[2 * i] < 0x80;
  if (ascii) {
    v.resize(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<char>(bytes[2 * i]);
    return true;
  }
  std::u16string units(n, u'\0');
  for (std::size_t i = 0; i < n; ++i) units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  v = Utf16ToUtf8(units);
  return true;
}
