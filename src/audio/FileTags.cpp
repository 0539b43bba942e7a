#include "audio/FileTags.h"

#include <taglib/fileref.h>
#include <vector>
#include <taglib/tpropertymap.h>

namespace kaudio {

std::map<std::string, std::string> ReadFileTagValues(const std::string& path) {
  std::map<std::string, std::string> v;
  TagLib::FileRef ref(path.c_str(), false);
  if (ref.isNull() || !ref.file()) return v;
  const TagLib::PropertyMap props = ref.file()->properties();
  static const std::pair<const char*, const char*> kNames[] = {
      {"TITL", "TITLE"},       {"ARTI", "ARTIST"},    {"ALBM", "ALBUM"},
      {"GNRE", "GENRE"},       {"YEAR", "DATE"},      {"CMNT", "COMMENT"},
      {"TRCK", "TRACKNUMBER"}, {"COMP", "COMPOSER"},  {"COPY", "COPYRIGHT"},
      {"SUBT", "SUBTITLE"},    {"AART", "ALBUMARTIST"}, {"DISC", "DISCNUMBER"}};
  for (const auto& [ours, key] : kNames) {
    auto it = props.find(key);
    if (it != props.end() && !it->second.isEmpty())
      v[ours] = it->second.front().to8Bit(true);
  }
  return v;
}

namespace {

// Parses the arguments of %IFV1(...) / %IFV2(...), nesting allowed.
bool SplitArgs(const std::string& fmt, size_t* pos, std::vector<std::string>* args) {
  int depth = 0;
  std::string cur;
  for (size_t i = *pos; i < fmt.size(); ++i) {
    const char c = fmt[i];
    if (c == '(') { ++depth; cur += c; }
    else if (c == ')') {
      if (depth == 0) { args->push_back(cur); *pos = i + 1; return true; }
      --depth; cur += c;
    } else if (c == ',' && depth == 0) { args->push_back(cur); cur.clear(); }
    else cur += c;
  }
  return false;
}

}  // namespace

std::string FormatTags(const std::string& fmt, const std::map<std::string, std::string>& values) {
  std::string out;
  for (size_t i = 0; i < fmt.size();) {
    if (fmt[i] != '%') { out += fmt[i++]; continue; }
    if (i + 1 < fmt.size() && fmt[i + 1] == '%') { out += '%'; i += 2; continue; }
    const std::string name = fmt.substr(i + 1, 4);
    if ((name == "IFV1" || name == "IFV2") && i + 5 < fmt.size() && fmt[i + 5] == '(') {
      size_t p = i + 6;
      std::vector<std::string> args;
      if (SplitArgs(fmt, &p, &args)) {
        const std::string test = FormatTags(args[0], values);
        if (name == "IFV1" && args.size() >= 2) out += test.empty() ? "" : FormatTags(args[1], values);
        if (name == "IFV2" && args.size() >= 3)
          out += FormatTags(test.empty() ? args[2] : args[1], values);
        i = p;
        continue;
      }
    }
    if (name.size() == 4) {
      auto it = values.find(name);
      if (it != values.end()) out += it->second;
      i += 5;
      continue;
    }
    out += fmt[i++];
  }
  return out;
}

}  // namespace kaudio
