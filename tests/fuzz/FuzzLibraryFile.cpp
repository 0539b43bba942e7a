// The song library file reader.
#include "FuzzInput.h"
#include "cd/LibraryForSongs.h"
#include "cd/LibrarySongsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TLibraryForSongs library;
  ReadLibraryRecords(fuzz::Text(data, size), library);
  // What was read writes out and reads back to the same songs.
  const std::string again = WriteLibraryRecords(library);
  TLibraryForSongs back;
  if (!ReadLibraryRecords(again, back) || back.Count() != library.Count()) __builtin_trap();
  for (int i = 0; i < back.Count(); ++i)
    if (back.Item(i).Lib_FileSize != library.Item(i).Lib_FileSize) __builtin_trap();
  return 0;
}
