// Reading memory that a plug-in handed us without trusting its pointers and lengths.
#pragma once

#include <cstddef>
#include <string>

// Copies count bytes from a plug-in's address into our buffer; false when any byte of the
// range is not readable (a bad pointer is reported, never dereferenced blindly).
bool CopyFromPluginMemory(void* destination, const void* source, size_t count);
// Reads a zero-terminated plug-in string of at most maxLength bytes; false when the pointer
// is null or unreadable. A string without terminator inside maxLength is cut there.
bool ReadPluginString(const char* source, std::string& text, size_t maxLength = 1024);
