// The encoders file and the encoder command lines: whatever the file holds, at most 99
// encoders are kept, no value holds a ";", a saved line reads back as it was, and a command
// line splits into words no longer than itself.
#include <cstdlib>
#include <sstream>

#include "FuzzInput.h"
#include "audio/CommandLineWords.h"
#include "engine/KELDAR_EncodersList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  UpdateAllControlsWithNewEncoderData(lines);
  const auto& list = EncodersList();
  if (list.TotalEncoders < 0 || list.TotalEncoders > EncodersStructure::kMaxEncoders) std::abort();
  if (size_t(list.TotalEncoders) != list.Encoders.size()) std::abort();
  if (EncoderAt(list.CurrentEncoder) == nullptr && list.TotalEncoders > 0) std::abort();
  for (const auto& e : list.Encoders) {
    for (const std::string* v : {&e.EncName, &e.EncCmdLine, &e.EncOutputFileExt, &e.EncInputBits})
      if (v->find(';') != std::string::npos) std::abort();
    const EncoderStructure again = ParseEncoderLine(EncoderFileLine(e));
    if (again.EncName != e.EncName || again.EncCmdLine != e.EncCmdLine || again.EncOutputFileExt != e.EncOutputFileExt ||
        again.EncInputBits != e.EncInputBits)
      std::abort();
    size_t chars = 0;
    for (const auto& word : kaudio::SplitCommandLine(e.EncCmdLine)) chars += word.size();
    if (chars > e.EncCmdLine.size()) std::abort();
  }
  return 0;
}
