// A K-Jofol description: every line against the 103 commands. The table keeps its rows and
// their order, parameters hold no tabs and no lower-case letters, and at most six "About"
// lines are kept.
#include <cctype>
#include <cstdlib>

#include "FuzzInput.h"
#include "skin/KjofolSkinDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  AppendKjofolLines(fuzz::Text(data, size), lines);
  const TKjofolSkinCommandTable table = ParseKjofolSkinDescription(lines);
  const TKjofolSkinCommandTable fresh = NewKjofolSkinCommandTable();
  for (std::size_t i = 0; i < KjofolSkinCommandCount; ++i) {
    if (table[i].CommandString != fresh[i].CommandString) std::abort();
    for (const std::string& p : table[i].ParamsArray)
      for (char c : p)
        if (c == '\t' || std::islower(static_cast<unsigned char>(c))) std::abort();
  }
  if (table[0].ParamsNum > 6) std::abort();
  return 0;
}
