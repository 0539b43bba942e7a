// The freedb protocol client (TCDDBConnect) and the local xmcd store it shares with the
// naming flow. Requests are synchronous for the caller; while one is on the wire the
// event-processing hook keeps the windows alive. UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cd/CDDBEntry.h"
#include "settings/SettingsFunctionsToINIFiles.h"

enum class TSubmitMode { smHttpTest, smHttpSubmit };
enum class TServerType1 { HTTP, CDDBP };

// The default server: a freedb-protocol server that still answers.
inline constexpr char KELDAR_FREEDB_DEFAULT_SERVER[] = "gnudb.gnudb.org";

// Replies above this size are refused: no freedb reply comes near it.
inline constexpr std::size_t kFreedbMaxReplyBytes = 4u * 1024 * 1024;
// A request that has not finished by then gives up.
inline constexpr long kFreedbRequestTimeoutSeconds = 20;
// Stored entries above this size are not read.
inline constexpr std::uintmax_t kLocalEntryMaxBytes = 4u * 1024 * 1024;

class TCDDBConnect {
 public:
  std::string UserName = "Unknown";
  std::string HostName = "Unknown";
  std::string ClientName = "Unknown";
  std::string ClientVersion = "1.0";
  TSubmitMode SubmitMode = TSubmitMode::smHttpTest;
  std::string ServerAddress = KELDAR_FREEDB_DEFAULT_SERVER;
  std::string ServerAdditionalAddress = "/~cddb/cddb.cgi";
  TServerType1 ServerType = TServerType1::HTTP;
  int32_t ServerProtocolLevel = 5;
  std::string ServerLocationLatitude = "N000.00";
  std::string ServerLocationLongitude = "W000.00";
  std::string ServerLocationDescription = "Random freedb Server";
  std::string ProxyServer;
  int32_t ProxyPort = 0;
  std::string LocalCDDBPath = "Undefined";
  std::string LocalCDArtWorkPath = "Undefined";
  std::function<void(TCDDBConnect& sender, const std::string& text)> OnSendData;
  std::function<void(TCDDBConnect& sender, const std::string& text)> OnReceiveData;
  int32_t LastError = 0;
  // How long one request may take before it gives up.
  long RequestTimeoutSeconds = kFreedbRequestTimeoutSeconds;
  std::vector<std::string> Response;
  std::string SubmitHeaderText;

  std::vector<std::string> SendCommand(const std::string& ACmd);
  std::vector<std::string> SendSubmitCommand(const std::vector<std::string>& ACmd);
  std::vector<std::string> Help(const std::string& ACmd) { return SendCommand("help+" + ACmd); }
  std::vector<std::string> Sites() { return SendCommand("sites"); }
  std::vector<std::string> MessageOfTheDay() { return SendCommand("motd"); }
  std::vector<std::string> Stats() { return SendCommand("stat"); }
  std::vector<std::string> Users() { return SendCommand("whom"); }
  bool GetInfoForCurrentCD(TCDDBEntry& ACDEntry);
  std::vector<std::string> SubmitEntry(TCDDBEntry& ACDEntry);

  bool GetInfoForCurrentCDLocal(TCDDBEntry& ACDEntry, bool CreatyEmptyEntryFirst);
  bool SaveCurrentCDDataLocal(const TCDDBEntry& ACDEntry);
  // The stored file's query string, "" when the file does not have the expected shape.
  std::string CalculateCDID_CDDBFromXMCDFile(const std::string& InputFileName);
  // The stored file of a disc ID in any category folder, "" when there is none.
  std::string FindLocalEntryFile(const std::string& discId, std::string* category = nullptr) const;

  static std::string GetItemFromfreedbResponse(const std::string& AfreedbResponseLine, int AIndex,
                                               bool ReturnEntireLine) {
    return TCDDBEntry::GetItemFromResponse(AfreedbResponseLine, AIndex, ReturnEntireLine);
  }
  static std::string ConvertSpacesToPlus(const std::string& InputString);
  static std::string ConvertSpacesToUnderScore(const std::string& InputString);

 private:
  std::vector<std::string> Post(const std::string& url, const std::string& body,
                                const std::vector<std::string>& headers);
  bool ReadEntry(TCDDBEntry& entry, const std::string& categoryAndId);
};

// The status of a reply: its first three characters as a number, 0 when they are not digits.
int32_t FreedbReplyStatus(const std::string& reply);
// A reply split into lines (CR LF or LF).
std::vector<std::string> SplitFreedbReply(const std::string& reply);

// The one client of the program, owned by the "Retrieve CD Information" dialog's life.
TCDDBConnect& TheCDDBConnect();
