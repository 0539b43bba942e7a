#include "LadspaCatalogue.h"

#include <dirent.h>
#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace {

struct TLibrary {
  void* Handle = nullptr;
  std::vector<TLadspaEffectInfo> Effects;
};

std::map<std::string, std::unique_ptr<TLibrary>>& Libraries() {
  static std::map<std::string, std::unique_ptr<TLibrary>> libraries;
  return libraries;
}

bool g_searched = false;
std::vector<TLadspaEffectInfo> g_all;

// Longest text taken from a plug-in's descriptor.
constexpr size_t kMaxText = 256;

std::string Text(const char* text) {
  if (text == nullptr) return {};
  std::string s(text, strnlen(text, kMaxText));
  return s;
}

bool Describe(const LADSPA_Descriptor* d, const std::string& library, TLadspaEffectInfo& info) {
  if (d == nullptr || d->instantiate == nullptr || d->connect_port == nullptr || d->run == nullptr ||
      d->cleanup == nullptr || d->PortDescriptors == nullptr || d->PortRangeHints == nullptr ||
      d->PortCount > 256 || d->Label == nullptr)
    return false;
  info = {};
  info.Library = library;
  info.Label = Text(d->Label);
  info.Name = Text(d->Name);
  info.Descriptor = d;
  for (unsigned long p = 0; p < d->PortCount; ++p) {
    const LADSPA_PortDescriptor kind = d->PortDescriptors[p];
    if (LADSPA_IS_PORT_AUDIO(kind)) {
      (LADSPA_IS_PORT_INPUT(kind) ? info.AudioInputs : info.AudioOutputs).push_back(p);
    } else if (LADSPA_IS_PORT_CONTROL(kind) && LADSPA_IS_PORT_INPUT(kind)) {
      info.Controls.push_back(DescribeLadspaControl(*d, p, 44100.0f));
    }
  }
  const size_t n = info.AudioInputs.size();
  if ((n != 1 && n != 2) || info.AudioOutputs.size() != n) return false;
  info.AudioChannels = static_cast<int>(n);
  return true;
}

TLibrary* Open(const std::string& path) {
  auto& libraries = Libraries();
  if (auto it = libraries.find(path); it != libraries.end()) return it->second.get();
  auto library = std::make_unique<TLibrary>();
  library->Handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library->Handle != nullptr) {
    auto entry = reinterpret_cast<LADSPA_Descriptor_Function>(dlsym(library->Handle, "ladspa_descriptor"));
    for (unsigned long i = 0; entry != nullptr && i < 1024; ++i) {
      const LADSPA_Descriptor* d = entry(i);
      if (d == nullptr) break;
      TLadspaEffectInfo info;
      if (Describe(d, path, info)) library->Effects.push_back(std::move(info));
    }
  }
  return libraries.emplace(path, std::move(library)).first->second.get();
}

std::string FileName(const std::string& path) { return path.substr(path.rfind('/') + 1); }

}  // namespace

std::vector<std::string> LadspaFolders() {
  std::vector<std::string> folders;
  if (const char* path = std::getenv("LADSPA_PATH")) {
    std::string list = path;
    size_t from = 0;
    while (from <= list.size()) {
      const size_t colon = std::min(list.find(':', from), list.size());
      if (colon > from) folders.push_back(list.substr(from, colon - from));
      from = colon + 1;
    }
  }
  if (const char* home = std::getenv("HOME")) folders.push_back(std::string(home) + "/.ladspa");
  for (const char* standard : {"/usr/local/lib/ladspa", "/usr/lib/ladspa", "/usr/lib/x86_64-linux-gnu/ladspa"})
    folders.push_back(standard);
  return folders;
}

const std::vector<TLadspaEffectInfo>& LadspaEffects() {
  if (g_searched) return g_all;
  g_searched = true;
  std::vector<std::string> files;
  for (const auto& folder : LadspaFolders()) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) continue;
    std::vector<std::string> here;
    while (dirent* e = readdir(dir)) {
      const std::string name = e->d_name;
      if (name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0) here.push_back(folder + "/" + name);
    }
    closedir(dir);
    std::sort(here.begin(), here.end());
    files.insert(files.end(), here.begin(), here.end());
  }
  for (const auto& file : files)
    for (const auto& effect : Open(file)->Effects) g_all.push_back(effect);
  return g_all;
}

const TLadspaEffectInfo* FindLadspaEffect(const std::string& library, const std::string& label) {
  if (library.empty() || label.empty()) return nullptr;
  std::vector<std::string> candidates;
  if (library.find('/') != std::string::npos) {
    candidates.push_back(library);
  } else {
    for (const auto& folder : LadspaFolders()) candidates.push_back(folder + "/" + library);
  }
  for (const auto& path : candidates) {
    if (library.find('/') == std::string::npos && FileName(path) != library) continue;
    for (const auto& effect : Open(path)->Effects)
      if (effect.Label == label) return &effect;
  }
  return nullptr;
}

TLadspaControl DescribeLadspaControl(const LADSPA_Descriptor& d, unsigned long port, float sampleRate) {
  TLadspaControl c;
  c.Port = port;
  c.Name = d.PortNames && d.PortNames[port] ? Text(d.PortNames[port]) : "Control " + std::to_string(port);
  const LADSPA_PortRangeHint& hint = d.PortRangeHints[port];
  const LADSPA_PortRangeHintDescriptor h = hint.HintDescriptor;
  const float scale = LADSPA_IS_HINT_SAMPLE_RATE(h) ? sampleRate : 1.0f;
  const bool below = LADSPA_IS_HINT_BOUNDED_BELOW(h), above = LADSPA_IS_HINT_BOUNDED_ABOVE(h);
  c.Toggled = LADSPA_IS_HINT_TOGGLED(h);
  c.Integer = LADSPA_IS_HINT_INTEGER(h);
  c.Lower = below ? hint.LowerBound * scale : 0.0f;
  c.Upper = above ? hint.UpperBound * scale : 0.0f;
  if (c.Toggled) {
    c.Lower = 0;
    c.Upper = 1;
  }
  float fallback = below ? c.Lower : 0.0f;
  switch (h & LADSPA_HINT_DEFAULT_MASK) {
    case LADSPA_HINT_DEFAULT_0: fallback = 0; break;
    case LADSPA_HINT_DEFAULT_1: fallback = 1; break;
    case LADSPA_HINT_DEFAULT_100: fallback = 100; break;
    case LADSPA_HINT_DEFAULT_440: fallback = 440; break;
    default: break;
  }
  // Without an upper bound the slider reaches ten times the default (at least 1 above the lower).
  if (!above && !c.Toggled) c.Upper = std::max({c.Lower + 1.0f, std::fabs(fallback) * 10.0f, 10.0f});
  if (!(c.Upper > c.Lower)) c.Upper = c.Lower + 1.0f;
  c.Logarithmic = LADSPA_IS_HINT_LOGARITHMIC(h) && c.Lower > 0 && c.Upper > 0;
  auto between = [&](double lowWeight) {
    if (c.Logarithmic) return static_cast<float>(std::exp(std::log(c.Lower) * lowWeight + std::log(c.Upper) * (1 - lowWeight)));
    return static_cast<float>(c.Lower * lowWeight + c.Upper * (1 - lowWeight));
  };
  switch (h & LADSPA_HINT_DEFAULT_MASK) {
    case LADSPA_HINT_DEFAULT_MINIMUM: c.Default = c.Lower; break;
    case LADSPA_HINT_DEFAULT_LOW: c.Default = between(0.75); break;
    case LADSPA_HINT_DEFAULT_MIDDLE: c.Default = between(0.5); break;
    case LADSPA_HINT_DEFAULT_HIGH: c.Default = between(0.25); break;
    case LADSPA_HINT_DEFAULT_MAXIMUM: c.Default = c.Upper; break;
    default: c.Default = fallback; break;
  }
  c.Default = std::clamp(c.Default, c.Lower, c.Upper);
  if (c.Integer) c.Default = std::round(c.Default);
  return c;
}

void ReleaseLadspaLibraries() {
  for (auto& [path, library] : Libraries())
    if (library->Handle) dlclose(library->Handle);
  Libraries().clear();
  g_all.clear();
  g_searched = false;
}
