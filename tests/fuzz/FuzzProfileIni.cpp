// The INI profile reader (keldar3.ini and the history lists) and its integer rule.
#include "FuzzInput.h"
#include "settings/ProfileIniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static fuzz::TScratchFile file(".ini");
  const std::string text = fuzz::Text(data, size);
  ParseProfileInteger(text);
  CutToCharacters(text, 7);
  TProfileIniFile ini(file.Write(data, size));
  if (!ini.Load()) return 0;
  for (const char* section : {"Settings", "settings", "PLSearchHistory", ""}) {
    for (const char* key : {"Options_BufferLength", "H0", "", "a"}) {
      ini.ReadString(section, key, "default");
      ini.ReadInteger(section, key, 7);
      ini.ReadBool(section, key, true);
    }
  }
  // Writes go to memory until Close(), which is never called here.
  ini.WriteString("Settings", "Options_BufferLength", "500");
  ini.DeleteKey("PLSearchHistory", "H0");
  ini.Text();
  return 0;
}
