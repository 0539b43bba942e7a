#include "settings/ProfileIniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Writes through symbolic links: the link stays, its target gets the new text.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      std::string resolved(real);
      std::free(real);
      return resolved;
    }
  }
  return path;
}

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, const std::string& data) {
  const char* p = data.data();
  std::size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

std::atomic<unsigned> g_tempCounter{0};

}  // namespace

std::optional<std::int32_t> ParseProfileInteger(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  bool hex = false;
  if (!text.empty() && text[0] == '$') {
    hex = true;
    text.remove_prefix(1);
  } else if (text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    hex = true;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;

  std::uint64_t value = 0;
  if (hex) {
    for (char c : text) {
      int d = HexDigit(c);
      if (d < 0) return std::nullopt;
      value = value * 16 + static_cast<std::uint64_t>(d);
      if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(value);
    if (negative) bits = 0u - bits;
    return static_cast<std::int32_t>(bits);
  }
  const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > limit) return std::nullopt;
  }
  std::int64_t signedValue = negative ? -static_cast<std::int64_t>(value)
                                      : static_cast<std::int64_t>(value);
  return static_cast<std::int32_t>(signedValue);
}

std::string CutToCharacters(std::string_view text, std::size_t maxChars) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    // Every byte that is not a continuation byte starts a character (also in broken UTF-8).
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      if (count == maxChars) return std::string(text.substr(0, i));
      ++count;
    }
  }
  return std::string(text);
}

TProfileIniFile::TProfileIniFile(std::string path) : path_(std::move(path)) {}

TProfileIniFile::~TProfileIniFile() { DiscardTemporaryFile(); }

bool TProfileIniFile::Load() {
  lines_.clear();
  newLineStyle_ = "\n";
  dirty_ = false;

  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
  if (!S_ISREG(st.st_mode)) return false;

  int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string data;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);

  std::size_t pos = 0;
  while (pos < data.size()) {
    std::size_t nl = data.find('\n', pos);
    Line line;
    if (nl == std::string::npos) {
      line.text = data.substr(pos);
      pos = data.size();
    } else {
      std::size_t end = nl;
      if (end > pos && data[end - 1] == '\r') {
        --end;
        line.eol = "\r\n";
      } else {
        line.eol = "\n";
      }
      line.text = data.substr(pos, end - pos);
      pos = nl + 1;
    }
    Classify(line, lines_.empty());
    lines_.push_back(std::move(line));
  }
  if (!lines_.empty() && !lines_.front().eol.empty()) newLineStyle_ = lines_.front().eol;
  return true;
}

void TProfileIniFile::Classify(Line& line, bool firstLine) const {
  std::string_view view(line.text);
  std::size_t offset = 0;
  if (firstLine && view.substr(0, 3) == "\xEF\xBB\xBF") offset = 3;  // UTF-8 byte order mark
  view.remove_prefix(offset);

  line.kind = LineKind::Other;
  line.name.clear();
  line.valueStart = 0;

  std::string_view trimmed = Trim(view);
  if (!trimmed.empty() && trimmed.front() == '[') {
    std::size_t close = trimmed.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      line.kind = LineKind::Section;
      line.name = Lower(Trim(trimmed.substr(1, close - 1)));
      return;
    }
  }
  std::size_t eq = view.find('=');
  if (eq != std::string_view::npos) {
    line.kind = LineKind::Key;
    line.name = Lower(Trim(view.substr(0, eq)));
    line.valueStart = offset + eq + 1;
  }
}

bool TProfileIniFile::FindSection(std::string_view lowerSection, std::size_t& begin,
                                  std::size_t& end) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind != LineKind::Section || lines_[i].name != lowerSection) continue;
    begin = i + 1;
    end = begin;
    while (end < lines_.size() && lines_[end].kind != LineKind::Section) ++end;
    return true;
  }
  return false;
}

std::optional<std::size_t> TProfileIniFile::FindKey(std::string_view section,
                                                    std::string_view key) const {
  std::size_t begin = 0;
  std::size_t end = 0;
  if (!FindSection(Lower(Trim(section)), begin, end)) return std::nullopt;
  const std::string lowerKey = Lower(Trim(key));
  for (std::size_t i = begin; i < end; ++i)
    if (lines_[i].kind == LineKind::Key && lines_[i].name == lowerKey) return i;
  return std::nullopt;
}

std::optional<std::string> TProfileIniFile::ReadValue(std::string_view section,
                                                      std::string_view key) const {
  std::optional<std::size_t> index = FindKey(section, key);
  if (!index) return std::nullopt;
  const Line& line = lines_[*index];
  return std::string(Trim(std::string_view(line.text).substr(line.valueStart)));
}

std::string TProfileIniFile::ReadString(std::string_view section, std::string_view key,
                                        const std::string& defaultValue) const {
  std::optional<std::string> value = ReadValue(section, key);
  if (!value) return defaultValue;
  return CutToCharacters(*value, kProfileStringMaxLength);
}

std::int32_t TProfileIniFile::ReadInteger(std::string_view section, std::string_view key,
                                          std::int32_t defaultValue) const {
  std::optional<std::string> value = ReadValue(section, key);
  if (!value) return defaultValue;
  return ParseProfileInteger(CutToCharacters(*value, kProfileStringMaxLength))
      .value_or(defaultValue);
}

bool TProfileIniFile::ReadBool(std::string_view section, std::string_view key,
                               bool defaultValue) const {
  return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TProfileIniFile::InsertLine(std::size_t at, std::string text) {
  if (at > 0 && lines_[at - 1].eol.empty()) lines_[at - 1].eol = newLineStyle_;
  Line line;
  line.text = std::move(text);
  line.eol = newLineStyle_;
  Classify(line, at == 0);
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  dirty_ = true;
}

bool TProfileIniFile::WriteString(std::string_view section, std::string_view key,
                                  std::string_view value) {
  if (!EnsureTemporaryFile()) return false;
  // A line break inside a value would split the line and plant foreign lines in the file.
  std::string clean(value);
  for (char& c : clean)
    if (c == '\r' || c == '\n') c = ' ';
  std::string lineText = std::string(key) + "=" + clean;

  std::size_t begin = 0;
  std::size_t end = 0;
  if (!FindSection(Lower(Trim(section)), begin, end)) {
    InsertLine(lines_.size(), "[" + std::string(section) + "]");
    InsertLine(lines_.size(), std::move(lineText));
    return true;
  }
  if (std::optional<std::size_t> index = FindKey(section, key)) {
    Line& line = lines_[*index];
    // An unchanged value keeps its line exactly as the user wrote it.
    if (std::string_view(line.text).substr(line.valueStart) == clean ||
        Trim(std::string_view(line.text).substr(line.valueStart)) == clean)
      return true;
    line.text = std::move(lineText);
    Classify(line, *index == 0);
    dirty_ = true;
    return true;
  }
  // New keys go after the section's last non-blank line, so blank separators stay in place.
  std::size_t at = end;
  while (at > begin && Trim(lines_[at - 1].text).empty()) --at;
  InsertLine(at, std::move(lineText));
  return true;
}

bool TProfileIniFile::WriteInteger(std::string_view section, std::string_view key,
                                   std::int32_t value) {
  return WriteString(section, key, std::to_string(value));
}

bool TProfileIniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  return WriteString(section, key, value ? "1" : "0");
}

bool TProfileIniFile::DeleteKey(std::string_view section, std::string_view key) {
  if (!EnsureTemporaryFile()) return false;
  while (std::optional<std::size_t> index = FindKey(section, key)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
    dirty_ = true;
  }
  return true;
}

bool TProfileIniFile::EnsureTemporaryFile() {
  if (tempFd_ >= 0) return true;
  const std::string target = ResolveTarget(path_);
  const std::string folder = FolderOf(target);
  const std::string base = folder + "/." + NameOf(target) + "." + std::to_string(::getpid()) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = base + std::to_string(g_tempCounter.fetch_add(1)) + ".tmp";
    int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      tempFd_ = fd;
      tempPath_ = std::move(candidate);
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
}

void TProfileIniFile::DiscardTemporaryFile() {
  if (tempFd_ < 0) return;
  ::close(tempFd_);
  ::unlink(tempPath_.c_str());
  tempFd_ = -1;
  tempPath_.clear();
}

bool TProfileIniFile::Close() {
  if (!dirty_) {
    DiscardTemporaryFile();
    return true;
  }
  if (!EnsureTemporaryFile()) return false;
  const std::string target = ResolveTarget(path_);
  bool ok = WriteAll(tempFd_, Text());
  struct stat st {};
  if (ok && ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    ::fchmod(tempFd_, st.st_mode & 07777);  // the new file keeps the old one's permissions
  ok = ok && ::fsync(tempFd_) == 0;
  ok = (::close(tempFd_) == 0) && ok;
  tempFd_ = -1;
  ok = ok && ::rename(tempPath_.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(tempPath_.c_str());
    tempPath_.clear();
    return false;
  }
  tempPath_.clear();
  dirty_ = false;
  int dirFd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);  // makes the rename itself durable; best effort
    ::close(dirFd);
  }
  return true;
}

std::string TProfileIniFile::Text() const {
  std::string out;
  for (const Line& line : lines_) {
    out += line.text;
    out += line.eol;
  }
  return out;
}
