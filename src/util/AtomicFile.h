// Whole-file reading and crash-safe writing: the data goes to a temporary file in the same
// folder, is flushed, and is renamed over the old file, so a crash never leaves half a file.
#pragma once

#include <string>

bool ReadWholeFile(const std::string& path, std::string& data);
bool WriteFileAtomically(const std::string& path, const std::string& data);
