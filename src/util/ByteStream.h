// An in-memory byte stream: what the HTTP helpers fill and callers read from.
// Data holds the bytes, Position is where the next Read or Write happens. Not thread-safe.
#pragma once

#include <cstddef>
#include <string>

struct TByteStream {
  std::string Data;
  std::size_t Position = 0;

  std::size_t Size() const { return Data.size(); }
  // Writes at Position, overwriting and growing as needed; Position moves past the bytes.
  void Write(const void* bytes, std::size_t count);
  void Write(const std::string& bytes) { Write(bytes.data(), bytes.size()); }
  // Reads up to count bytes from Position; returns how many were read.
  std::size_t Read(void* bytes, std::size_t count);
  // Moves Position (clamped to the size).
  void Seek(std::size_t position) { Position = position < Data.size() ? position : Data.size(); }
  // Cuts the data at Position.
  void Truncate() { Data.resize(Position); }
  void Clear() { Data.clear(); Position = 0; }
};
