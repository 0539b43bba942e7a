#include "plugins/PluginMemoryGuard.h"

#include "plugins/PluginCallGuard.h"

#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool CopyFromPluginMemory(void* destination, const void* source, size_t count) {
  if (count == 0) return true;
  if (source == nullptr || destination == nullptr) return false;
  // The kernel checks the source range for us: an unmapped address gives EFAULT instead of
  // a crash inside our process.
  auto* out = static_cast<char*>(destination);
  auto* in = static_cast<const char*>(source);
  size_t done = 0;
  while (done < count) {
    iovec local{out + done, count - done};
    iovec remote{const_cast<char*>(in + done), count - done};
    ssize_t n = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    if (n <= 0) {
      if (n < 0 && (errno == ENOSYS || errno == EPERM)) {
        // The kernel will not check for us here: copy under the crash guard instead, so a
        // bad range still fails the read rather than the player.
        return RunGuardedPluginCall([&] { std::memcpy(out + done, in + done, count - done); }) ==
               TPluginCallResult::Completed;
      }
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

bool ReadPluginString(const char* source, std::string& text, size_t maxLength) {
  text.clear();
  if (source == nullptr) return false;
  // Byte-wise chunks that never cross a page boundary, so a string ending right before an
  // unmapped page is still read.
  const size_t page = 4096;
  while (text.size() < maxLength) {
    auto address = reinterpret_cast<uintptr_t>(source + text.size());
    size_t chunk = page - (address % page);
    if (chunk > maxLength - text.size()) chunk = maxLength - text.size();
    char buffer[4096];
    if (!CopyFromPluginMemory(buffer, source + text.size(), chunk)) return false;
    const void* zero = std::memchr(buffer, 0, chunk);
    if (zero != nullptr) {
      text.append(buffer, static_cast<const char*>(zero) - buffer);
      return true;
    }
    text.append(buffer, chunk);
  }
  return true;
}
