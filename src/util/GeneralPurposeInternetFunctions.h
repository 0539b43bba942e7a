// HTTP helpers on libcurl and the "Check for Updates" command.
//
// Every call makes its own transfer and finishes it before returning; calls block the
// calling thread. The client sends HTTP/1.0 requests with the user agent
// "Mozilla/4.0 (compatible; Synapse)", uses no proxy (not even one named in the
// environment) and speaks http, https and ftp only. A connection must be made within
// 10 seconds and a whole transfer ends after 60 seconds at most. GET requests follow up to
// 5 redirects (to http or https only); POST requests follow none, so a form is never
// re-sent somewhere else or silently turned into a GET.
//
// A request succeeds when the transfer completes and, for http and https, the final status
// is 2xx: an error status (>= 400) or a redirect that was not followed is a failure, and a
// failed request leaves the caller's stream untouched. Bodies kept in memory are limited to
// 64 MiB. Safe to call from any thread.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "util/ByteStream.h"
#include "util/VersionInfo.h"

inline constexpr char KELDAR_HTTP_USER_AGENT[] = "Mozilla/4.0 (compatible; Synapse)";

// GET url. On success the stream holds exactly the response body, with Position 0.
bool HttpGetToStream(const std::string& url, TByteStream& stream);
// POST formText (UTF-8, sent as is) with the content type
// "application/x-www-form-urlencoded". On success the response body is appended at the end
// of the response stream and Position is left after it.
bool HttpPostForm(const std::string& url, const std::string& formText, TByteStream& response);
// A POST as above with extra request header lines ("Name: value"), a smaller body limit and a
// shorter time limit when given (0 keeps the defaults). On success responseBody is the body.
struct THttpPostOptions {
  std::vector<std::string> ExtraHeaders;
  std::size_t MaxBodyBytes = 0;
  long TotalTimeoutSeconds = 0;
};
bool HttpPostFormWith(const std::string& url, const std::string& formText,
                      const THttpPostOptions& options, std::string& responseBody);
// Downloads url into the file at path (created or replaced). Not an address (IsURL): false,
// nothing is created. When the file cannot be created or written, shows
// "Failed to get file from " + url. The file stays on disk in every case; after a failed
// request it is empty.
bool DownloadUrlToFile(const std::string& url, const std::string& path);

// Where the version file is fetched from: $KELDAR_UPDATE_URL when set, otherwise the
// address the program was built with.
std::string UpdateCheckUrl();
// The web site named by the update check and opened to download a new version.
std::string KeldarWebSite();
// The version text of the first line holding "<Program_Version>" (ASCII case ignored):
// the line without everything up to and including that tag and without the first
// "</Program_Version>"; anything else on the line stays. Empty when the file cannot be read,
// has no such line or names an empty version.
std::string ReadServerVersion(const std::string& versionFilePath);

enum class TUpdateCheckResult { NoVersionInfo, UpToDate, NewVersionDeclined, NewVersionOpened };
// The "Check for Updates" command: downloads the version file to
// ProgramFolder() + "/tempunzipped/keldar.xml", compares the server's version text with
// runningVersion ordinally, character by character, tells the user and, when a newer version
// exists and the user agrees, opens the web site in the browser. Call from the UI thread.
TUpdateCheckResult CheckForUpdates(const std::string& runningVersion = KELDAR_PRODUCT_VERSION);
