// Checks shared by the DSP and general plug-in loaders on what a plug-in library hands over.
#pragma once

#include <cstdint>
#include <string>

// Longest plug-in name accepted, terminator included.
inline constexpr size_t kPluginNameLimit = 256;

// Reads the plug-in's name through the guard: false when the pointer is bad or the text has
// no terminator within kPluginNameLimit bytes.
bool ReadPluginName(const char* source, std::string& name);

// Opens the library and calls its interface export under the guard: the structure pointer it
// returned (null when the library, the export or the call failed), and the module handle in
// module (null when the library did not open).
void* OpenPluginLibrary(const std::string& path, const char* exportName, void*& module);
