// The archive plug-in: listing, and extracting everything into a scratch folder with small
// limits (what a hostile skin package or archive gets to).
#include <filesystem>

#include "../../plugins/zpinput_archives/ZpinputArchives.cpp"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("ZPINPUT_ARCHIVE_MAX_BYTES", "1048576", 1);
  setenv("ZPINPUT_ARCHIVE_MAX_ENTRIES", "200", 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::TScratchFile file(".zip");
  static const std::string folder = file.Path() + ".d";
  const std::string& path = file.Write(data, size);
  Initialize();
  LoadData(path.c_str());
  if (g_stream) zpkit::ReadItems(g_stream->bytes.data(), g_stream->bytes.size());
  SaveData((path + "/*.*").c_str(), folder.c_str());
  Close();
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return 0;
}
