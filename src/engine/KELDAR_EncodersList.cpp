#include "engine/KELDAR_EncodersList.h"

#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/KeyValueListFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

EncodersStructure& EncodersList() {
  static EncodersStructure list;
  return list;
}

std::function<void()>& EncodersListChangedHook() {
  static std::function<void()> hook;
  return hook;
}

std::string EncodersFilePath() { return ProgramFolder() + "/" + kEncodersFileName; }

std::vector<EncoderStructure> DefaultEncoders() {
  // The programs as installed here (found on PATH); the rest of each line as it always was,
  // the two blanks after "flac" included.
  return {
      {"ACM (Internal)", "%outputfile%", ".wav", "32"},
      {"WAV Writer", "%outputfile%", ".wav", "32"},
      {"OGGEnc", "oggenc -o %outputfile% -", ".ogg", "32"},
      {"OGGEnc with Tags",
       "oggenc -t \"%01\" -a \"%02\" -l \"%03\" -d \"%04\" -G \"%05\" -N \"%09\" -o %outputfile% -", ".ogg", "32"},
      {"LAME", "lame --alt-preset standard - %outputfile%", ".mp3", "24"},
      {"LAME with Tags",
       "lame --alt-preset standard --tt \"%01\" --ta \"%02\" --tl \"%03\" --ty \"%04\" --tg \"%05\" --tn \"%09\" - "
       "%outputfile%",
       ".mp3", "24"},
      {"FLAC", "flac - -o %outputfile%", ".flac", "24"},
      {"FLAC with Tags",
       "flac  -T \"TITLE=%01\" -T \"ARTIST=%02\" -T \"ALBUM=%03\" -T \"DATE=%04\" -T \"GENRE=%05\" -T "
       "\"TRACKNUMBER=%09\" -f - -o %outputfile%",
       ".flac", "24"},
  };
}

std::vector<std::string> DefaultEncoderLines() {
  std::vector<std::string> lines;
  for (const auto& e : DefaultEncoders()) lines.push_back(EncoderFileLine(e));
  return lines;
}

void ResetEncodersListToDefault() { UpdateAllControlsWithNewEncoderData(DefaultEncoderLines()); }

std::string EncoderFileLine(const EncoderStructure& e) {
  return "EncName=" + e.EncName + ";EncCmdLine=" + e.EncCmdLine + ";EncOutputFileExt=" + e.EncOutputFileExt +
         ";EncInputBits=" + e.EncInputBits + ";";
}

EncoderStructure ParseEncoderLine(std::string line) {
  EncoderStructure e;
  e.EncName = TakeKeyValueField(line, "EncName=");
  e.EncCmdLine = TakeKeyValueField(line, "EncCmdLine=");
  e.EncOutputFileExt = TakeKeyValueField(line, "EncOutputFileExt=");
  e.EncInputBits = TakeKeyValueField(line, "EncInputBits=");
  return e;
}

void UpdateAllControlsWithNewEncoderData(const std::vector<std::string>& lines) {
  auto& list = EncodersList();
  list.Encoders.clear();
  for (const auto& line : lines) {
    if (list.Encoders.size() >= size_t(EncodersStructure::kMaxEncoders)) break;
    list.Encoders.push_back(ParseEncoderLine(line));
  }
  list.TotalEncoders = std::int32_t(list.Encoders.size());
  if (Options_LastUsedEncoder.IntegerValue < 0 || Options_LastUsedEncoder.IntegerValue >= list.TotalEncoders)
    Options_LastUsedEncoder.IntegerValue = 0;
  list.CurrentEncoder = Options_LastUsedEncoder.IntegerValue;
  if (auto& hook = EncodersListChangedHook()) hook();
}

void LoadEncodersFromFile() {
  std::vector<std::string> lines;
  // A file without a single line is as useless as a missing one: nothing could be recorded.
  if (!ReadListFileLines(EncodersFilePath(), lines) || lines.empty()) {
    ShowMessage("File with Encoders (keldar3encoders.ini) is damaged\rPress OK to Load Default Encoders List",
                "Error", TMessageIcon::Error);
    lines = DefaultEncoderLines();
  }
  UpdateAllControlsWithNewEncoderData(lines);
}

bool SaveEncodersToFile() {
  std::vector<std::string> lines;
  for (const auto& e : EncodersList().Encoders) lines.push_back(EncoderFileLine(e));
  if (WriteListFileLines(EncodersFilePath(), lines)) return true;
  ShowMessage("Error While Saving keldar3encoders.ini", "Error", TMessageIcon::Error);
  return false;
}

const EncoderStructure* EncoderAt(int index) {
  const auto& list = EncodersList().Encoders;
  if (index < 0 || size_t(index) >= list.size()) return nullptr;
  return &list[size_t(index)];
}
