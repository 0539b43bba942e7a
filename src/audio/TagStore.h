// A channel's tag blocks. Network threads replace blocks while callers read them, so
// every version handed out stays alive until the channel is freed (bounded per type).
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace kaudio {

class TagStore {
 public:
  // Returns true when the block differs from the current one.
  bool Set(uint32_t type, const std::string& block);
  const char* Get(uint32_t type);

 private:
  static constexpr size_t kKeepVersions = 256;
  std::mutex mutex_;
  std::map<uint32_t, std::deque<std::unique_ptr<std::string>>> blocks_;
};

// Builds a block of NUL-separated strings ended by an empty one.
std::string MakeTagBlock(const std::deque<std::string>& lines);

}  // namespace kaudio
