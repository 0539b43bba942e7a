#include "util/ShowMessage.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>

namespace {

std::mutex g_lock;
TMessagePresenter g_presenter;
std::string g_defaultTitle = "Zorvane Audio Player";

std::string Escape(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Unescape(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      char n = s[++i];
      out += n == 't' ? '\t' : n == 'r' ? '\r' : n == 'n' ? '\n' : n;
    } else {
      out += s[i];
    }
  }
  return out;
}

template <typename E, size_t N>
bool FromName(const std::string& name, const char* const (&names)[N], E& out) {
  for (size_t i = 0; i < N; ++i)
    if (name == names[i]) { out = static_cast<E>(i); return true; }
  return false;
}

const char* const kIconNames[] = {"none", "information", "warning", "error", "question"};
const char* const kButtonNames[] = {"OK", "OKCancel", "YesNo", "YesNoCancel"};

}  // namespace

const char* MessageIconName(TMessageIcon icon) { return kIconNames[static_cast<int>(icon)]; }
const char* MessageButtonsName(TMessageButtons b) { return kButtonNames[static_cast<int>(b)]; }

std::string FormatMessageLogLine(const TMessage& m) {
  return Escape(m.Title) + "\t" + MessageIconName(m.Icon) + "\t" + MessageButtonsName(m.Buttons) +
         "\t" + Escape(m.Text);
}

std::vector<TMessage> ReadMessageLog(const std::string& path) {
  std::vector<TMessage> result;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    size_t a = line.find('\t');
    size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
    size_t c = b == std::string::npos ? b : line.find('\t', b + 1);
    if (c == std::string::npos) continue;
    TMessage m;
    m.Title = Unescape(line.substr(0, a));
    if (!FromName(line.substr(a + 1, b - a - 1), kIconNames, m.Icon)) continue;
    if (!FromName(line.substr(b + 1, c - b - 1), kButtonNames, m.Buttons)) continue;
    m.Text = Unescape(line.substr(c + 1));
    result.push_back(std::move(m));
  }
  return result;
}

void SetMessagePresenter(TMessagePresenter presenter) {
  std::lock_guard<std::mutex> guard(g_lock);
  g_presenter = std::move(presenter);
}

void SetDefaultMessageTitle(const std::string& title) {
  std::lock_guard<std::mutex> guard(g_lock);
  g_defaultTitle = title;
}

TMessageAnswer ShowMessage(const std::string& text, const std::string& title, TMessageIcon icon,
                           TMessageButtons buttons, TMessageAnswer defaultAnswer) {
  TMessagePresenter presenter;
  TMessage m{text, title, icon, buttons, defaultAnswer};
  {
    std::lock_guard<std::mutex> guard(g_lock);
    if (m.Title.empty()) m.Title = g_defaultTitle;
    if (const char* log = std::getenv("KELDAR_MESSAGE_LOG"); log && *log) {
      if (std::FILE* f = std::fopen(log, "ab")) {
        std::string line = FormatMessageLogLine(m) + "\n";
        std::fwrite(line.data(), 1, line.size(), f);
        std::fclose(f);
      }
      return defaultAnswer;
    }
    presenter = g_presenter;
  }
  if (presenter) return presenter(m);
  std::fprintf(stderr, "%s: %s\n", m.Title.c_str(), Escape(m.Text).c_str());
  return defaultAnswer;
}
