#include "plugins/PluginLibraryChecks.h"

#include <dlfcn.h>

#include "plugins/PluginCallGuard.h"
#include "plugins/PluginMemoryGuard.h"

bool ReadPluginName(const char* source, std::string& name) {
  // One byte more than allowed: a text that fills the limit has no terminator inside it.
  if (!ReadPluginString(source, name, kPluginNameLimit)) return false;
  return name.size() < kPluginNameLimit;
}

void* OpenPluginLibrary(const std::string& path, const char* exportName, void*& module) {
  module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) return nullptr;
  using TInterfaceFunction = void* (*)();
  auto entry = reinterpret_cast<TInterfaceFunction>(dlsym(module, exportName));
  if (entry == nullptr) return nullptr;
  void* structure = nullptr;
  if (RunGuardedPluginCall(structure, [&] { return entry(); }) != TPluginCallResult::Completed)
    return nullptr;
  return structure;
}
