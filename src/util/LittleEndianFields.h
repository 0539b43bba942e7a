// Little-endian record fields shared by the program's binary files (playlist item streams,
// the song library): int32/int64 values and strings stored as an int32 count of UTF-16LE
// code units followed by the units. Not thread-safe; no allocation beyond what the data holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Writing: each appends to s.
void PutInt32(std::string& s, int32_t v);
void PutInt64(std::string& s, int64_t v);
void PutUint8(std::string& s, uint8_t v);
// UTF-8 text written as a UTF-16LE count and code units.
void PutString(std::string& s, const std::string& text);

// Reads little-endian fields; every read fails (and changes nothing) past the end of the data.
// After a failed read the reader stands at the end of the data.
class TStreamReader {
 public:
  // The data must outlive the reader.
  explicit TStreamReader(std::string_view data, std::size_t position = 0) : m_data(data), m_pos(position) {}
  bool AtEnd() const { return m_pos >= m_data.size(); }
  std::size_t Position() const { return m_pos; }

  bool Int32(int32_t& v);
  bool Int64(int64_t& v);
  bool Byte(bool& v);
  bool Uint8(uint8_t& v);
  // A count that is negative or runs past the end of the data is refused before anything
  // is allocated, so a hostile count never costs memory.
  bool String(std::string& v);

 private:
  bool Raw(std::size_t n, uint64_t& u);

  std::string_view m_data;
  std::size_t m_pos = 0;
};
