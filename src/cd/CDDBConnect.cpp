#include "cd/CDDBConnect.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>

#include "cd/CDDialogHooks.h"
#include "util/AtomicFile.h"
#include "util/GeneralPurposeInternetFunctions.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

namespace fs = std::filesystem;

TCDDBConnect& TheCDDBConnect() {
  static TCDDBConnect connect;
  return connect;
}

int32_t FreedbReplyStatus(const std::string& reply) {
  if (reply.size() < 3) return 0;
  int32_t status = 0;
  for (int i = 0; i < 3; ++i) {
    if (reply[i] < '0' || reply[i] > '9') return 0;
    status = status * 10 + (reply[i] - '0');
  }
  return status;
}

std::vector<std::string> SplitFreedbReply(const std::string& reply) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < reply.size()) {
    size_t end = reply.find('\n', start);
    if (end == std::string::npos) end = reply.size();
    size_t stop = end;
    if (stop > start && reply[stop - 1] == '\r') --stop;
    lines.emplace_back(reply, start, stop - start);
    start = end + 1;
  }
  return lines;
}

std::string TCDDBConnect::ConvertSpacesToPlus(const std::string& InputString) {
  std::string out = InputString;
  for (char& c : out)
    if (c == ' ') c = '+';
  return out;
}

std::string TCDDBConnect::ConvertSpacesToUnderScore(const std::string& InputString) {
  std::string out = InputString;
  for (char& c : out)
    if (c == ' ') c = '_';
  return out;
}

std::vector<std::string> TCDDBConnect::Post(const std::string& url, const std::string& body,
                                            const std::vector<std::string>& headers) {
  if (OnSendData) OnSendData(*this, body);
  THttpPostOptions options;
  options.ExtraHeaders = headers;
  options.MaxBodyBytes = kFreedbMaxReplyBytes;
  options.TotalTimeoutSeconds = RequestTimeoutSeconds;
  // The request runs beside the UI thread, which keeps handling its windows meanwhile.
  auto request = std::async(std::launch::async, [url, body, options] {
    std::string reply;
    if (!HttpPostFormWith(url, body, options, reply)) reply.clear();
    return reply;
  });
  const auto& processEvents = CDDialogHooks().ProcessEvents;
  while (request.wait_for(std::chrono::milliseconds(processEvents ? 20 : 1000)) != std::future_status::ready)
    if (processEvents) processEvents();
  const std::string reply = request.get();
  Response = SplitFreedbReply(reply);
  LastError = FreedbReplyStatus(reply);
  if (OnReceiveData) OnReceiveData(*this, reply);
  return Response;
}

std::vector<std::string> TCDDBConnect::SendCommand(const std::string& ACmd) {
  Response.clear();
  const std::string body = "cmd=" + ACmd + "&hello=" + UserName + "+" + HostName + "+" +
                           ConvertSpacesToUnderScore(ClientName) + "+" + ClientVersion +
                           "&proto=" + std::to_string(ServerProtocolLevel);
  const std::string url =
      (ServerType == TServerType1::HTTP ? "http://" : "") + ServerAddress + ServerAdditionalAddress;
  return Post(url, body, {});
}

std::vector<std::string> TCDDBConnect::SendSubmitCommand(const std::vector<std::string>& ACmd) {
  Response.clear();
  std::string body;
  for (const std::string& line : ACmd) body += line + "\r\n";
  std::vector<std::string> headers;
  for (const std::string& line : SplitFreedbReply(SubmitHeaderText))
    if (!line.empty()) headers.push_back(line);
  return Post("http://" + ServerAddress + "/~cddb/submit.cgi", body, headers);
}

bool TCDDBConnect::ReadEntry(TCDDBEntry& entry, const std::string& categoryAndId) {
  const auto lines = SendCommand("cddb+read+" + categoryAndId);
  if (LastError != 210) return false;
  entry.ParseXMCDRecord(lines, entry.CDID);
  ShowMessage("OK, received CD information from freedb servers.");
  return true;
}

bool TCDDBConnect::GetInfoForCurrentCD(TCDDBEntry& ACDEntry) {
  const auto lines = SendCommand("cddb+query+" + ConvertSpacesToPlus(ACDEntry.CDID_CDDB));
  switch (LastError) {
    case 200: {
      const std::string category = GetItemFromfreedbResponse(lines.empty() ? "" : lines[0], 1, false);
      return ReadEntry(ACDEntry, category + "+" + ACDEntry.CDID);
    }
    case 202:
      ACDEntry.FillFromCDInfo();
      if (!ACDEntry.Edit()) return false;
      SubmitEntry(ACDEntry);
      return true;
    case 210:
    case 211: {
      std::vector<std::string> matches;
      for (size_t i = 1; i < lines.size() && lines[i] != "."; ++i) matches.push_back(lines[i]);
      const auto& choose = CDDialogHooks().ChooseMatch;
      const auto picked = choose ? choose(matches) : std::nullopt;
      if (!picked || *picked < 0 || static_cast<size_t>(*picked) >= matches.size()) return false;
      const std::string& line = matches[static_cast<size_t>(*picked)];
      return ReadEntry(ACDEntry, GetItemFromfreedbResponse(line, 0, false) + "+" +
                                     GetItemFromfreedbResponse(line, 1, false));
    }
    default: {
      std::string text;
      for (const std::string& line : lines) text += line + "\r\n";
      ShowMessage("Unexpected response - " + text, {}, TMessageIcon::Error);
      return false;
    }
  }
}

std::vector<std::string> TCDDBConnect::SubmitEntry(TCDDBEntry& ACDEntry) {
  const std::string revision = TrimText(ACDEntry.Revision);
  bool numeric = !revision.empty() && revision.size() < 10;
  for (char c : revision) numeric = numeric && c >= '0' && c <= '9';
  ACDEntry.Revision = numeric ? std::to_string(std::stol(revision) + 1) : "0";
  ACDEntry.SubmittedVia = ClientName + " " + ClientVersion;
  const std::vector<std::string> record = ACDEntry.BuildXMCDRecord();
  const std::string discId = ACDEntry.CDID;
  SubmitHeaderText = "Category: " + ACDEntry.Category + "\r\n" + "Discid: " + discId + "\r\n" +
                     "User-Email: " + TrimText(UserName) + "@" + TrimText(HostName) + "\r\n" +
                     "Submit-Mode: " + (SubmitMode == TSubmitMode::smHttpSubmit ? "submit" : "test") +
                     "\r\n" + "Charset: ISO-8859-1" + "\r\n" + "X-Cddbd-Note: Sent by " +
                     ACDEntry.SubmittedVia + "\r\n";
  std::vector<std::string> framed;
  framed.reserve(record.size() + 2);
  framed.push_back("200 " + ACDEntry.Category + " " + discId +
                   " CD database entry follows (until terminating `.')");
  framed.insert(framed.end(), record.begin(), record.end());
  framed.push_back(".");
  const auto response = SendSubmitCommand(record);
  if (LastError != 200) {
    // Nothing is stored here, but the record is the entry's own now: a caller that keeps the
    // typed-in entry must store these lines, not the ones of an earlier disc.
    ACDEntry.XMCDRecordRawData = framed;
    return response;
  }
  ShowMessage("OK, submission has been sent to freedb servers.");
  ACDEntry.ParseXMCDRecord(framed, discId);
  SaveCurrentCDDataLocal(ACDEntry);
  return response;
}

namespace {

bool ReadLocalLines(const fs::path& file, std::vector<std::string>& lines, std::string& text) {
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  if (ec || size > kLocalEntryMaxBytes) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::stringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  lines = SplitFreedbReply(text);
  return true;
}

}  // namespace

std::string TCDDBConnect::FindLocalEntryFile(const std::string& discId, std::string* category) const {
  if (discId.empty()) return {};
  for (const std::string& c : CDDBCategories()) {
    const fs::path folder = fs::path(LocalCDDBPath) / c;
    std::error_code ec;
    // The exact name first: a folder of thousands of entries is not walked for every disc.
    const fs::path exact = folder / discId;
    if (fs::is_regular_file(exact, ec)) {
      if (category) *category = c;
      return exact.string();
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
      if (SameText(it->path().filename().string(), discId) && it->is_regular_file(ec)) {
        if (category) *category = c;
        return it->path().string();
      }
    }
  }
  return {};
}

bool TCDDBConnect::GetInfoForCurrentCDLocal(TCDDBEntry& ACDEntry, bool CreatyEmptyEntryFirst) {
  try {
    ACDEntry.ArtworkFolder = LocalCDArtWorkPath;
    if (CreatyEmptyEntryFirst) ACDEntry.FillFromCDInfo();
    std::string category;
    const std::string file = FindLocalEntryFile(ACDEntry.CDID, &category);
    if (file.empty()) return false;
    std::vector<std::string> lines;
    std::string text;
    if (!ReadLocalLines(file, lines, text)) return false;
    ACDEntry.ParseXMCDRecord(lines, ACDEntry.CDID);
    ACDEntry.Category = category;
    if (OnReceiveData) OnReceiveData(*this, text);
    return true;
  } catch (...) {
    return false;
  }
}

bool TCDDBConnect::SaveCurrentCDDataLocal(const TCDDBEntry& ACDEntry) {
  try {
    const auto& raw = ACDEntry.XMCDRecordRawData;
    // A file name is the disc ID: nothing that climbs out of the store.
    if (raw.size() < 3 || ACDEntry.CDID.empty() || ACDEntry.Category.empty() ||
        ACDEntry.CDID.find_first_of("/\\") != std::string::npos || ACDEntry.CDID == "." ||
        ACDEntry.CDID == ".." || ACDEntry.Category.find_first_of("/\\") != std::string::npos ||
        ACDEntry.Category == "." || ACDEntry.Category == "..")
      return false;
    const fs::path folder = fs::path(LocalCDDBPath) / ACDEntry.Category;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) return false;
    std::string content;
    for (size_t i = 1; i + 1 < raw.size(); ++i) content += raw[i] + "\r\n";
    return WriteFileAtomically((folder / ACDEntry.CDID).string(), content);
  } catch (...) {
    return false;
  }
}

std::string TCDDBConnect::CalculateCDID_CDDBFromXMCDFile(const std::string& InputFileName) {
  std::vector<std::string> lines;
  std::string text;
  if (!ReadLocalLines(InputFileName, lines, text)) return {};
  if (lines.size() < 3 || PosText("XMCD", lines[0]) == std::string::npos ||
      PosText("Track frame offsets:", lines[2]) == std::string::npos)
    return {};
  const auto afterHashAndOne = [](const std::string& line) {
    const size_t hash = line.find('#');
    if (hash == std::string::npos) return TrimText(line);
    return TrimText(hash + 2 <= line.size() ? line.substr(hash + 2) : std::string());
  };
  std::vector<std::string> offsets;
  size_t k = 3;
  for (; k < lines.size(); ++k) {
    const std::string offset = afterHashAndOne(lines[k]);
    if (offset.empty()) break;
    offsets.push_back(offset);
  }
  if (k + 1 >= lines.size()) return {};
  std::string length = lines[k + 1];
  const size_t colon = length.find(':');
  length = colon == std::string::npos ? length : (colon + 2 <= length.size() ? length.substr(colon + 2) : "");
  const size_t seconds = PosText("seconds", length);
  if (seconds != std::string::npos) length.erase(seconds, 7);
  length = TrimText(length);
  std::string discId;
  for (const std::string& line : lines)
    if (StartsWithText(line, "DISCID=")) {
      discId = line.substr(7);
      break;
    }
  std::string result = discId + " " + std::to_string(offsets.size());
  for (const std::string& o : offsets) result += " " + o;
  return result + " " + length;
}
