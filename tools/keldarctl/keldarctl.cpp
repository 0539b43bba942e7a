// keldarctl: a command-line remote for the running player.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "plugins/ZorvanePlayerApiClient.h"
#include "plugins/ZorvanePlayerApiVariables.h"
#include "zorvaneplayerapi_record.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitNotRunning = 1;
constexpr int kExitBadArguments = 2;
constexpr int kTimeoutMs = 60000;

const char* const kUsage =
    "usage: keldarctl COMMAND [ARGUMENTS]\n"
    "\n"
    "Drives the running Zorvane Audio Player of this user.\n"
    "\n"
    "  play | pause | stop | next | prev   press that button of the main window\n"
    "  volume [N]                          print the volume slider (0..100), or set it to N\n"
    "  balance [N]                         the same for the balance slider (50 = centre)\n"
    "  position [N]                        the same for the position bar (percent of the song)\n"
    "  eq band K [N]                       equalizer band K (1..10): print, or set to N\n"
    "  send 0x94NN [LPARAM]                send any control message, print its result\n"
    "  add FILE...                         add files, folders or URLs to the playlist, in order\n"
    "  status [--json]                     print what is playing (the now-playing record)\n"
    "  --help                              this text\n"
    "\n"
    "Set values are limited to 0..100 by the player.\n"
    "Exit codes: 0 success, 1 player not running, 2 bad arguments.\n";

int BadArguments(const char* why) {
  std::fprintf(stderr, "keldarctl: %s\n%s", why, kUsage);
  return kExitBadArguments;
}

bool ParseNumber(const char* text, long long& value) {
  if (!text || !*text) return false;
  char* end = nullptr;
  value = std::strtoll(text, &end, 0);
  return *end == '\0';
}

// Sends one request; prints why when the player is not there.
int Send(uint32_t message, int64_t lparam, const std::string& payload, int64_t* result) {
  TPlayerApiClient client;
  if (!client.Connect(PlayerApiSocketPath())) {
    std::fprintf(stderr, "keldarctl: the player is not running\n");
    return kExitNotRunning;
  }
  zpapi_reply reply{};
  if (!client.Request(message, 0, lparam, payload, reply, kTimeoutMs)) {
    std::fprintf(stderr, "keldarctl: the player did not answer\n");
    return kExitNotRunning;
  }
  if (reply.status != ZPAPI_STATUS_OK) {
    std::fprintf(stderr, "keldarctl: the player refused the request (status %d)\n", reply.status);
    return kExitBadArguments;
  }
  if (result) *result = reply.result;
  return kExitOk;
}

// get/set pair: without a value print the get result, with one send the set.
int GetOrSet(uint32_t getMessage, int argc, char** argv, int valueIndex) {
  if (argc > valueIndex + 1) return BadArguments("too many arguments");
  if (argc == valueIndex + 1) {
    long long value;
    if (!ParseNumber(argv[valueIndex], value)) return BadArguments("the value must be a number");
    return Send(getMessage + 1, value, "", nullptr);
  }
  int64_t result = 0;
  int code = Send(getMessage, 0, "", &result);
  if (code == kExitOk) std::printf("%lld\n", static_cast<long long>(result));
  return code;
}

std::string JsonEscape(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof(buffer), "\\u%04x", c);
      out += buffer;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// A tag text for the terminal: control characters (C0, DEL and the C1 range as UTF-8) and
// bytes that are not UTF-8 are shown as \xHH, so a hostile file cannot drive the terminal.
std::string TerminalEscape(const std::string& s) {
  std::string out;
  auto hex = [&out](unsigned char c) {
    char buffer[8];
    std::snprintf(buffer, sizeof(buffer), "\\x%02X", c);
    out += buffer;
  };
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '\\') {
      out += "\\\\";
      ++i;
    } else if (c < 0x20 || c == 0x7F) {
      hex(c);
      ++i;
    } else if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
    } else {
      // Length of a well-formed UTF-8 sequence starting here, 0 when it is not one.
      size_t length = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
      if (length == 0 || i + length > s.size()) length = 0;
      for (size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) length = 0;
      const bool c1 = length == 2 && c == 0xC2 && static_cast<unsigned char>(s[i + 1]) < 0xA0;
      if (length == 0 || c1) {
        hex(c);
        ++i;
      } else {
        out.append(s, i, length);
        i += length;
      }
    }
  }
  return out;
}

int Status(bool json) {
  TPlayerApiClient client;
  if (!client.Connect(PlayerApiSocketPath())) {
    std::fprintf(stderr, "keldarctl: the player is not running\n");
    return kExitNotRunning;
  }
  uint8_t* record = zpapi_record_open(0);
  if (!record) {
    std::fprintf(stderr, "keldarctl: the player publishes no now-playing record\n");
    return kExitNotRunning;
  }
  struct Field {
    const char* name;
    int offset;
  };
  static const Field kTexts[] = {{"ProgramPath", ZPAPI_OFS_ProgramPath},
                                 {"ProgramVersion", ZPAPI_OFS_ProgramVersion},
                                 {"CurrentTimeText", ZPAPI_OFS_CurrentTimeText},
                                 {"TotalTimeText", ZPAPI_OFS_TotalTimeText},
                                 {"TitleName", ZPAPI_OFS_TitleName},
                                 {"ArtistName", ZPAPI_OFS_ArtistName},
                                 {"AlbumName", ZPAPI_OFS_AlbumName},
                                 {"PlaylistPositionText", ZPAPI_OFS_PlaylistPositionText},
                                 {"FullPathAndFilename", ZPAPI_OFS_FullPathAndFilename},
                                 {"PlayerStatusText", ZPAPI_OFS_PlayerStatusText},
                                 {"OutputChannelsText", ZPAPI_OFS_OutputChannelsText},
                                 {"BitrateText", ZPAPI_OFS_BitrateText},
                                 {"SampleRateText", ZPAPI_OFS_SampleRateText}};
  static const Field kColours[] = {{"BackgroundColor", ZPAPI_OFS_BackgroundColor},
                                   {"CurrentColor", ZPAPI_OFS_CurrentColor},
                                   {"TextColor", ZPAPI_OFS_TextColor}};
  char text[ZPAPI_TEXT_FIELD_SIZE];
  if (json) std::printf("{");
  bool first = true;
  for (const Field& f : kTexts) {
    zpapi_record_text(record, f.offset, text);
    if (json) {
      std::printf("%s\"%s\":\"%s\"", first ? "" : ",", f.name, JsonEscape(text).c_str());
    } else {
      std::printf("%-21s %s\n", f.name, TerminalEscape(text).c_str());
    }
    first = false;
  }
  for (const Field& f : kColours) {
    int32_t colour = zpapi_record_int(record, f.offset);
    if (json) {
      std::printf(",\"%s\":%d", f.name, colour);
    } else {
      std::printf("%-21s #%02X%02X%02X\n", f.name, colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    }
  }
  if (json) std::printf("}\n");
  zpapi_record_close(record);
  return kExitOk;
}

std::string AbsoluteArgument(const std::string& argument) {
  if (argument.find("://") != std::string::npos || argument.empty() || argument.front() == '/') return argument;
  std::error_code ec;
  auto absolute = std::filesystem::absolute(argument, ec);
  return ec ? argument : absolute.lexically_normal().string();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return BadArguments("no command");
  std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kUsage, stdout);
    return kExitOk;
  }

  struct Press {
    const char* name;
    uint32_t message;
  };
  static const Press kPresses[] = {
      {"play", 0x9405}, {"pause", 0x9406}, {"stop", 0x9407}, {"next", 0x9408}, {"prev", 0x9404}};
  for (const Press& p : kPresses) {
    if (command == p.name) {
      if (argc != 2) return BadArguments("this command takes no arguments");
      return Send(p.message, 0, "", nullptr);
    }
  }
  if (command == "volume") return GetOrSet(0x9411, argc, argv, 2);
  if (command == "balance") return GetOrSet(0x9413, argc, argv, 2);
  if (command == "position") return GetOrSet(0x9417, argc, argv, 2);
  if (command == "eq") {
    long long band;
    if (argc < 4 || std::strcmp(argv[2], "band") != 0 || !ParseNumber(argv[3], band) || band < 1 || band > 10)
      return BadArguments("use: eq band K [N] with K from 1 to 10");
    return GetOrSet(0x9428 + 2 * static_cast<uint32_t>(band - 1), argc, argv, 4);
  }
  if (command == "send") {
    long long message, lparam = 0;
    if (argc < 3 || argc > 4 || !ParseNumber(argv[2], message) || (argc == 4 && !ParseNumber(argv[3], lparam)))
      return BadArguments("use: send 0x94NN [LPARAM]");
    if (message < 0 || message > 0xFFFFFFFFLL) return BadArguments("the message number is out of range");
    int64_t result = 0;
    int code = Send(static_cast<uint32_t>(message), lparam, "", &result);
    if (code == kExitOk) std::printf("%lld\n", static_cast<long long>(result));
    return code;
  }
  if (command == "add") {
    if (argc < 3) return BadArguments("add needs at least one file");
    std::vector<std::string> files;
    for (int i = 2; i < argc; ++i) files.push_back(AbsoluteArgument(argv[i]));
    return Send(ZPAPI_MSG_COPYDATA, 0, SerializeHandOverRecord(BuildHandOverRecord(files)), nullptr);
  }
  if (command == "status") {
    if (argc > 3 || (argc == 3 && std::strcmp(argv[2], "--json") != 0)) return BadArguments("use: status [--json]");
    return Status(argc == 3);
  }
  return BadArguments("unknown command");
}
