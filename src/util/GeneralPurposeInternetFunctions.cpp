#include "util/GeneralPurposeInternetFunctions.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>

#include "util/GeneralPurposeInputFilenameFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShellFunctions.h"
#include "util/ShowMessage.h"
#include "util/TextFunctions.h"

#ifndef KELDAR_DEFAULT_UPDATE_URL
#define KELDAR_DEFAULT_UPDATE_URL "http://localhost/downloads/keldar.xml"
#endif
#ifndef KELDAR_WEBSITE
#define KELDAR_WEBSITE "localhost"
#endif

namespace fs = std::filesystem;

namespace {

constexpr long kConnectTimeoutSeconds = 10;
constexpr long kTotalTimeoutSeconds = 60;
constexpr long kMaxRedirects = 5;
constexpr std::size_t kMaxMemoryBody = 64u * 1024 * 1024;

// Receives the body; false stops the transfer as a write failure.
using TBodySink = std::function<bool(const char* bytes, std::size_t count)>;

enum class TRequestOutcome { Succeeded, Failed, SinkFailed };

struct TTransfer {
  CURL* Curl = nullptr;
  bool Http = false;
  TBodySink Sink;
  bool SinkFailed = false;
};

struct TCurlDeleter {
  void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct TSlistDeleter {
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

void GlobalInitOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<TTransfer*>(user);
  const size_t bytes = size * count;
  if (transfer->Http) {
    long status = 0;
    curl_easy_getinfo(transfer->Curl, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 300) return bytes;  // an error page or redirect is not the document
  }
  if (!transfer->Sink(data, bytes)) {
    transfer->SinkFailed = true;
    return 0;
  }
  return bytes;
}

TRequestOutcome PerformRequest(const std::string& url, const std::string* postBody,
                               const TBodySink& sink, const THttpPostOptions* options = nullptr) {
  GlobalInitOnce();
  std::unique_ptr<CURL, TCurlDeleter> curl(curl_easy_init());
  if (!curl) return TRequestOutcome::Failed;
  TTransfer transfer;
  transfer.Curl = curl.get();
  transfer.Http = StartsWithText(url, "http://") || StartsWithText(url, "https://");
  transfer.Sink = sink;

  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(c, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
  curl_easy_setopt(c, CURLOPT_USERAGENT, KELDAR_HTTP_USER_AGENT);
  curl_easy_setopt(c, CURLOPT_PROXY, "");
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_TIMEOUT,
                   options && options->TotalTimeoutSeconds > 0 ? options->TotalTimeoutSeconds : kTotalTimeoutSeconds);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &WriteBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);

  std::unique_ptr<curl_slist, TSlistDeleter> headers;
  if (postBody) {
    curl_slist* list = curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
    if (list) list = curl_slist_append(list, "Expect:");
    if (options)
      for (const std::string& header : options->ExtraHeaders)
        if (list) list = curl_slist_append(list, header.c_str());
    headers.reset(list);
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_POST, 1L);
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, postBody->data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(postBody->size()));
  } else {
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  }

  const CURLcode result = curl_easy_perform(c);
  if (transfer.SinkFailed) return TRequestOutcome::SinkFailed;
  if (result != CURLE_OK) return TRequestOutcome::Failed;
  if (transfer.Http) {
    long status = 0;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status >= 300) return TRequestOutcome::Failed;
  }
  return TRequestOutcome::Succeeded;
}

// Collects a body in memory, within the limit.
TBodySink MemorySink(std::string& body, std::size_t limit = kMaxMemoryBody) {
  return [&body, limit](const char* bytes, std::size_t count) {
    if (body.size() + count > limit) return false;
    body.append(bytes, count);
    return true;
  };
}

}  // namespace

bool HttpGetToStream(const std::string& url, TByteStream& stream) {
  std::string body;
  if (PerformRequest(url, nullptr, MemorySink(body)) != TRequestOutcome::Succeeded) return false;
  stream.Data = std::move(body);
  stream.Position = 0;
  return true;
}

bool HttpPostForm(const std::string& url, const std::string& formText, TByteStream& response) {
  std::string body;
  if (PerformRequest(url, &formText, MemorySink(body)) != TRequestOutcome::Succeeded)
    return false;
  response.Seek(response.Size());
  response.Write(body);
  return true;
}

bool HttpPostFormWith(const std::string& url, const std::string& formText,
                      const THttpPostOptions& options, std::string& responseBody) {
  std::string body;
  const std::size_t limit = options.MaxBodyBytes ? std::min(options.MaxBodyBytes, kMaxMemoryBody) : kMaxMemoryBody;
  if (PerformRequest(url, &formText, MemorySink(body, limit), &options) != TRequestOutcome::Succeeded)
    return false;
  responseBody = std::move(body);
  return true;
}

bool DownloadUrlToFile(const std::string& url, const std::string& path) {
  if (!IsURL(url)) return false;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) {
    ShowMessage("Failed to get file from " + url, {}, TMessageIcon::Error);
    return false;
  }
  // Written straight to disk: downloads may be larger than we want to hold in memory.
  const TRequestOutcome outcome = PerformRequest(url, nullptr, [&out](const char* b, std::size_t n) {
    out.write(b, static_cast<std::streamsize>(n));
    return static_cast<bool>(out);
  });
  if (outcome == TRequestOutcome::Succeeded) {
    out.flush();
    if (out) return true;
  }
  out.close();
  // Nothing half-received stays behind; the file itself does.
  std::ofstream(path, std::ios::binary | std::ios::trunc);
  if (outcome != TRequestOutcome::Failed)
    ShowMessage("Failed to get file from " + url, {}, TMessageIcon::Error);
  return false;
}

std::string UpdateCheckUrl() {
  const char* env = std::getenv("KELDAR_UPDATE_URL");
  return env && *env ? std::string(env) : std::string(KELDAR_DEFAULT_UPDATE_URL);
}

std::string KeldarWebSite() { return KELDAR_WEBSITE; }

std::string ReadServerVersion(const std::string& versionFilePath) {
  static const std::string kOpen = "<Program_Version>";
  static const std::string kClose = "</Program_Version>";
  std::ifstream in(versionFilePath, std::ios::binary);
  if (!in) return {};
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t open = PosText(kOpen, line);
    if (open == std::string::npos) continue;
    std::string version = line.substr(open + kOpen.size());
    const std::size_t close = PosText(kClose, version);
    if (close != std::string::npos) version.erase(close, kClose.size());
    return version;
  }
  return {};
}

TUpdateCheckResult CheckForUpdates(const std::string& runningVersion) {
  const std::string folder = ProgramFolder() + "/tempunzipped";
  std::error_code ec;
  fs::create_directories(folder, ec);
  const std::string file = folder + "/keldar.xml";
  std::string serverVersion;
  if (DownloadUrlToFile(UpdateCheckUrl(), file)) serverVersion = ReadServerVersion(file);
  if (serverVersion.empty()) {
    ShowMessage("Could not get version info from server.", {}, TMessageIcon::Warning);
    return TUpdateCheckResult::NoVersionInfo;
  }
  // Plain ordinal text comparison: "3.10" counts as older than "3.9".
  if (serverVersion.compare(runningVersion) <= 0) {
    ShowMessage("Zorvane Audio Player is up to date.", {}, TMessageIcon::Information);
    return TUpdateCheckResult::UpToDate;
  }
  const std::string site = KeldarWebSite();
  const std::string question =
      " A new version is availabe on server.\r The version you are using is : v" +
      runningVersion + "\r" + " The new version available on server is : v" + serverVersion +
      "\r" + "Open " + site + " to download it?";
  if (ShowMessage(question, {}, TMessageIcon::Question, TMessageButtons::YesNo,
                  TMessageAnswer::Yes) != TMessageAnswer::Yes)
    return TUpdateCheckResult::NewVersionDeclined;
  ShellOpenDocument(site.find("://") == std::string::npos ? "https://" + site : site);
  return TUpdateCheckResult::NewVersionOpened;
}
