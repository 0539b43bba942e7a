#include "plugins/ZorvanePlayerApiVariables.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

bool MakePrivateRuntimeFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0700) == 0) {
    // The umask may have taken bits away; the folder must be exactly ours.
    if (::chmod(folder.c_str(), 0700) != 0) return false;
  } else if (errno != EEXIST) {
    return false;
  }
  // In a world-writable place someone else may have made it first: never a link, ours, 0700.
  struct stat st {};
  return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & 07777) == 0700;
}

std::string PlayerRuntimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg && *xdg) {
    std::string folder = xdg;
    ::mkdir(folder.c_str(), 0700);
    return folder;
  }
  std::string folder = "/tmp/keldar3-runtime-" + std::to_string(::getuid());
  return MakePrivateRuntimeFolder(folder) ? folder : std::string();
}

std::string PlayerApiSocketPath() {
  const std::string folder = PlayerRuntimeFolder();
  if (folder.empty()) return {};
  return folder + "/zorvaneplayerapi-" + std::to_string(::getuid()) + ".sock";
}

THandOverRecord BuildHandOverRecord(const std::vector<std::string>& arguments) {
  THandOverRecord record;
  record.DataTag = static_cast<uint32_t>(arguments.size());
  if (arguments.size() == 1) {
    record.Payload = arguments.front();
  } else {
    for (const std::string& a : arguments) record.Payload += a + "\r\n";
  }
  return record;
}

std::string SerializeHandOverRecord(const THandOverRecord& record) {
  std::string out;
  auto put32 = [&out](uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  put32(record.DataTag);
  put32(static_cast<uint32_t>(record.Payload.size() + 1));
  out += record.Payload;
  out += '\0';
  return out;
}

bool ParseHandOverRecord(const std::string& payload, THandOverRecord& record) {
  if (payload.size() < 8) return false;
  auto get32 = [&payload](size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(payload[at + i])) << (8 * i);
    return v;
  };
  record.DataTag = get32(0);
  uint32_t count = get32(4);
  if (count != payload.size() - 8) return false;
  // The text is read as zero-terminated: anything after the first zero is ignored.
  std::string text = payload.substr(8);
  size_t zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  record.Payload = std::move(text);
  return true;
}
