#include "audio/AddonRegistry.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>

#include "audio/Library.h"

namespace kaudio {

namespace {

struct Addon {
  uint32_t handle;
  std::string path;
  void* dl;
  const KAUDIO_ADDON* table;
};

std::mutex g_mutex;
std::vector<Addon> g_addons;

std::string Lower(std::string s) {
  for (auto& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool MasksMatch(const KAUDIO_PLUGININFO& info, const std::string& path) {
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos) return false;
  const std::string ext = Lower(path.substr(dot));
  for (uint32_t i = 0; i < info.formatc; ++i) {
    std::string masks = Lower(info.formats[i].exts ? info.formats[i].exts : "") + ";";
    size_t start = 0, semi;
    while ((semi = masks.find(';', start)) != std::string::npos) {
      std::string mask = masks.substr(start, semi - start);
      start = semi + 1;
      if (mask.size() > 1 && mask.substr(1) == ext) return true;
    }
  }
  return false;
}

class AddonSource final : public ChannelSource {
 public:
  AddonSource(const KAUDIO_ADDON* t, void* d, const KAUDIO_ADDON_FORMAT& f) : t_(t), d_(d), f_(f) {}
  ~AddonSource() override { t_->close(d_); }
  SourceFormat Format() const override { return {f_.freq, f_.chans, f_.origres}; }
  ReadResult Read(float* dst, size_t frames, size_t* got) override {
    *got = t_->read(d_, dst, KAUDIO_DWORD(std::min<size_t>(frames, 1u << 20)));
    pos_ += *got;
    return *got ? ReadResult::Data : ReadResult::Ended;
  }
  bool Seek(uint64_t frame) override {
    if (!t_->seek || !t_->seek(d_, frame)) return false;
    pos_ = frame;
    return true;
  }
  int64_t LengthFrames() const override { return f_.frames; }
  uint64_t Position() const override { return pos_; }
  void Attach(SourceEvents* events) override {
    if (!t_->tags) return;
    for (uint32_t type : {uint32_t(KAUDIO_TAG_OGG), uint32_t(KAUDIO_TAG_WMA)})
      if (const char* block = t_->tags(d_, type)) {
        std::string s;
        const char* p = block;
        while (*p) { size_t n = std::strlen(p); s.append(p, n + 1); p += n + 1; }
        events->OnTags(type, s, 0);
      }
  }

 private:
  const KAUDIO_ADDON* t_;
  void* d_;
  KAUDIO_ADDON_FORMAT f_;
  uint64_t pos_ = 0;
};

}  // namespace

uint32_t LoadAddon(const std::string& path, int* error) {
  std::lock_guard lock(g_mutex);
  for (auto& a : g_addons)
    if (a.path == path) { *error = KAUDIO_ERROR_ALREADY; return 0; }
  void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!dl) { *error = KAUDIO_ERROR_FILEOPEN; return 0; }
  auto* query = reinterpret_cast<KAUDIO_ADDONQUERYPROC*>(dlsym(dl, "KAUDIO_AddonQuery"));
  const KAUDIO_ADDON* table = query ? query(KAUDIO_VERSION) : nullptr;
  if (!table || table->apiVersion != KAUDIO_ADDON_API_VERSION || !table->open || !table->read ||
      !table->close) {
    dlclose(dl);
    *error = query ? KAUDIO_ERROR_VERSION : KAUDIO_ERROR_FILEFORM;
    return 0;
  }
  const uint32_t h = NewHandle();
  g_addons.push_back({h, path, dl, table});
  *error = 0;
  return h;
}

const KAUDIO_PLUGININFO* AddonInfo(uint32_t handle) {
  std::lock_guard lock(g_mutex);
  for (auto& a : g_addons)
    if (a.handle == handle) return &a.table->info;
  return nullptr;
}

bool FreeAddon(uint32_t handle) {
  // Channels decoding through it go first: its code must outlive them.
  for (auto& ch : Snapshot())
    if (ch->plugin && (handle == 0 || ch->plugin == handle)) FreeChannel(ch->handle);
  std::lock_guard lock(g_mutex);
  bool found = false;
  for (auto it = g_addons.begin(); it != g_addons.end();) {
    if (handle == 0 || it->handle == handle) {
      dlclose(it->dl);
      it = g_addons.erase(it);
      found = true;
    } else {
      ++it;
    }
  }
  return found || handle == 0;
}

void FreeAllAddons() { FreeAddon(0); }

std::unique_ptr<ChannelSource> OpenWithAddons(const std::string& path, bool matching,
                                              uint32_t* plugin, int* error) {
  std::lock_guard lock(g_mutex);
  for (auto& a : g_addons) {
    if (MasksMatch(a.table->info, path) != matching) continue;
    KAUDIO_ADDON_FORMAT f{};
    int err = KAUDIO_ERROR_FILEFORM;
    void* d = a.table->open(path.c_str(), &f, &err);
    if (!d) { *error = err; continue; }
    if (f.freq == 0 || f.chans == 0 || f.chans > 32) { a.table->close(d); continue; }
    *plugin = a.handle;
    return std::make_unique<AddonSource>(a.table, d, f);
  }
  return nullptr;
}

}  // namespace kaudio
