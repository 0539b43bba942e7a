#include "util/ByteStream.h"

#include <algorithm>
#include <cstring>

void TByteStream::Write(const void* bytes, std::size_t count) {
  if (count == 0) return;
  if (Position > Data.size()) Position = Data.size();
  if (Position + count > Data.size()) Data.resize(Position + count);
  std::memcpy(Data.data() + Position, bytes, count);
  Position += count;
}

std::size_t TByteStream::Read(void* bytes, std::size_t count) {
  if (Position >= Data.size()) return 0;
  const std::size_t n = std::min(count, Data.size() - Position);
  std::memcpy(bytes, Data.data() + Position, n);
  Position += n;
  return n;
}
