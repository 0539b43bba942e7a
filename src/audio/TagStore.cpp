#include "audio/TagStore.h"

namespace kaudio {

bool TagStore::Set(uint32_t type, const std::string& block) {
  std::lock_guard lock(mutex_);
  auto& versions = blocks_[type];
  if (!versions.empty() && *versions.back() == block) return false;
  versions.push_back(std::make_unique<std::string>(block));
  if (versions.size() > kKeepVersions) versions.pop_front();
  return true;
}

const char* TagStore::Get(uint32_t type) {
  std::lock_guard lock(mutex_);
  auto it = blocks_.find(type);
  if (it == blocks_.end() || it->second.empty()) return nullptr;
  return it->second.back()->c_str();
}

std::string MakeTagBlock(const std::deque<std::string>& lines) {
  std::string block;
  for (const auto& l : lines) {
    block += l;
    block.push_back('\0');
  }
  // The terminating empty string; c_str() adds the final NUL.
  return block;
}

}  // namespace kaudio
