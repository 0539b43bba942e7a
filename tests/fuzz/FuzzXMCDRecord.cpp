// xmcd records: whatever the lines, reading never fails, and once written a record reads
// back to an entry that is written again to the same text.
#include <cstdlib>

#include "FuzzInput.h"
#include "cd/CDDBEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  std::string text = fuzz::Text(data, size);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  TCDDBEntry entry;
  entry.ParseXMCDRecord(lines, "00000000");
  entry.FillFromCDInfo();  // the query holds no count: no placeholders, nothing breaks
  entry.ParseXMCDRecord(lines, "00000000");
  // Writing trims values and the track list stops at the first empty title, so the first
  // round may change the text; after it the record must stay as it is.
  std::vector<std::string> previous;
  for (int round = 0; round < 3; ++round) {
    entry.CDID_CDDB = "0a000c03 3 150 450 840 14";
    std::vector<std::string> written = entry.BuildXMCDRecord();
    written.insert(written.begin(), "210 misc 0a000c03 x");
    if (round == 2 && written != previous) std::abort();
    previous = written;
    entry = TCDDBEntry();
    entry.ParseXMCDRecord(written, "0a000c03");
  }
  return 0;
}
