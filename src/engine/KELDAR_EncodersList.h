// The list of encoders kept in "keldar3encoders.ini" beside the program: one encoder a line,
// "EncName=...;EncCmdLine=...;EncOutputFileExt=...;EncInputBits=...;". Values cannot hold
// ";" (a ";" ends a value). At most 99 encoders are kept; lines past that are ignored.
// UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct EncoderStructure {
  std::string EncName;
  std::string EncCmdLine;
  std::string EncOutputFileExt;  // with its dot
  std::string EncInputBits;      // "8", "16", "24" or "32"
};

struct EncodersStructure {
  static constexpr int kMaxEncoders = 99;
  std::int32_t TotalEncoders = 0;
  std::int32_t CurrentEncoder = 0;
  std::vector<EncoderStructure> Encoders;
};

// The process-wide list.
EncodersStructure& EncodersList();

inline constexpr const char* kEncodersFileName = "keldar3encoders.ini";
std::string EncodersFilePath();

// The default list, in order.
std::vector<EncoderStructure> DefaultEncoders();
// The file lines of the default list.
std::vector<std::string> DefaultEncoderLines();
void ResetEncodersListToDefault();

// One file line and back.
std::string EncoderFileLine(const EncoderStructure& encoder);
EncoderStructure ParseEncoderLine(std::string line);

// Reads the file (the damaged-file message and the default list when it cannot be read),
// then UpdateAllControlsWithNewEncoderData.
void LoadEncodersFromFile();
// Writes the list; "Error While Saving keldar3encoders.ini" when that fails.
bool SaveEncodersToFile();
// Fills the list from file lines (at most 99), keeps Options_LastUsedEncoder inside it and
// tells the controls that show the list.
void UpdateAllControlsWithNewEncoderData(const std::vector<std::string>& lines);

// Called after the list or the chosen encoder changed (the preferences' combo box, the
// recording dialog's fields). Installed by the dialogs; may be empty.
std::function<void()>& EncodersListChangedHook();

// The encoder at index, or nullptr outside the list.
const EncoderStructure* EncoderAt(int index);
