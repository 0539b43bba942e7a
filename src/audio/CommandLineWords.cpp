#include "audio/CommandLineWords.h"

namespace kaudio {

std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;  // a quoted empty word ("") still counts
  enum class Quote { None, Single, Double } quote = Quote::None;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    switch (quote) {
      case Quote::Single:
        if (c == '\'') quote = Quote::None;
        else word += c;
        break;
      case Quote::Double:
        if (c == '"') quote = Quote::None;
        else if (c == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) word += line[++i];
        else word += c;
        break;
      case Quote::None:
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
          if (inWord) words.push_back(std::move(word));
          word.clear();
          inWord = false;
        } else if (c == '\'') {
          quote = Quote::Single;
          inWord = true;
        } else if (c == '"') {
          quote = Quote::Double;
          inWord = true;
        } else if (c == '\\' && i + 1 < line.size()) {
          word += line[++i];
          inWord = true;
        } else {
          word += c;
          inWord = true;
        }
        break;
    }
  }
  // An unclosed quote runs to the end of the line.
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace kaudio
