#include <gtest/gtest.h>

#include <filesystem>

#include "util/GeneralPurposeInternetFunctions.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"
#include "TestHttpServer.h"
#include "UtilTestHelpers.h"

namespace fs = std::filesystem;
using utiltest::ReadFile;
using utiltest::TScopedEnv;
using utiltest::TTempDir;

namespace {

class InternetTest : public ::testing::Test {
 protected:
  InternetTest() : log_("KELDAR_MESSAGE_LOG", dir_ / "messages.log") {}
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const TMessage& m : ReadMessageLog(dir_ / "messages.log")) texts.push_back(m.Text);
    return texts;
  }
  TTempDir dir_;
  TScopedEnv log_;
  TTestHttpServer server_;
};

}  // namespace

TEST_F(InternetTest, GetRewindsAndReplacesTheStreamContent) {
  server_.SetResponse("/list.pls", {200, "hello", {}});
  TByteStream stream;
  stream.Write(std::string("old content that is longer"));
  ASSERT_TRUE(HttpGetToStream(server_.Url("/list.pls"), stream));
  EXPECT_EQ(stream.Data, "hello");
  EXPECT_EQ(stream.Position, 0u);
  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Method, "GET");
  EXPECT_EQ(requests[0].Version, "HTTP/1.0");
  EXPECT_EQ(requests[0].Headers.at("user-agent"), "Mozilla/4.0 (compatible; Synapse)");
}

TEST_F(InternetTest, ErrorStatusIsAFailureAndLeavesTheStream) {
  server_.SetResponse("/gone", {404, "error page", {}});
  server_.SetResponse("/broken", {500, "oops", {}});
  TByteStream stream;
  stream.Write(std::string("keep"));
  EXPECT_FALSE(HttpGetToStream(server_.Url("/gone"), stream));
  EXPECT_FALSE(HttpGetToStream(server_.Url("/broken"), stream));
  EXPECT_EQ(stream.Data, "keep");
  EXPECT_EQ(stream.Position, 4u);
  EXPECT_FALSE(HttpGetToStream("http://127.0.0.1:" + std::to_string(UnusedLocalPort()) + "/", stream));
  EXPECT_FALSE(HttpGetToStream("file:///etc/hostname", stream));  // not a protocol we speak
  EXPECT_EQ(stream.Data, "keep");
}

TEST_F(InternetTest, GetFollowsARedirect) {
  server_.SetResponse("/old", {302, "moved", {"Location: /new"}});
  server_.SetResponse("/new", {200, "the document", {}});
  TByteStream stream;
  ASSERT_TRUE(HttpGetToStream(server_.Url("/old"), stream));
  EXPECT_EQ(stream.Data, "the document");
}

TEST_F(InternetTest, PostSendsTheFormAndAppendsTheAnswer) {
  server_.SetResponse("/~cddb/submit.cgi", {200, "200 OK, submission accepted", {}});
  TByteStream response;
  response.Write(std::string("before|"));
  response.Seek(0);
  const std::string form = "cmd=cddb+query&hello=joe+my.host+Zorvane+3.0&proto=6";
  ASSERT_TRUE(HttpPostForm(server_.Url("/~cddb/submit.cgi"), form, response));
  EXPECT_EQ(response.Data, "before|200 OK, submission accepted");
  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Method, "POST");
  EXPECT_EQ(requests[0].Body, form);
  EXPECT_EQ(requests[0].Headers.at("content-type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[0].Headers.at("content-length"), std::to_string(form.size()));
}

TEST_F(InternetTest, PostFollowsNoRedirect) {
  server_.SetResponse("/submit", {302, "elsewhere", {"Location: /other"}});
  server_.SetResponse("/other", {200, "wrong place", {}});
  TByteStream response;
  EXPECT_FALSE(HttpPostForm(server_.Url("/submit"), "a=1", response));
  EXPECT_EQ(response.Data, "");
  EXPECT_EQ(server_.Requests().size(), 1u);
  server_.SetResponse("/fail", {500, "no", {}});
  EXPECT_FALSE(HttpPostForm(server_.Url("/fail"), "a=1", response));
}

TEST_F(InternetTest, DownloadWritesTheFile) {
  server_.SetResponse("/downloads/keldar.xml", {200, "<xml/>\n", {}});
  const std::string path = dir_ / "keldar.xml";
  utiltest::WriteFile(path, "an older and longer file");
  ASSERT_TRUE(DownloadUrlToFile(server_.Url("/downloads/keldar.xml"), path));
  EXPECT_EQ(ReadFile(path), "<xml/>\n");
  EXPECT_TRUE(Messages().empty());
}

TEST_F(InternetTest, DownloadRefusesWhatIsNoAddress) {
  const std::string path = dir_ / "never.txt";
  EXPECT_FALSE(DownloadUrlToFile("/etc/hostname", path));
  EXPECT_FALSE(fs::exists(path));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(InternetTest, FailedDownloadLeavesAnEmptyFile) {
  server_.SetResponse("/missing", {404, "error page", {}});
  const std::string path = dir_ / "out.bin";
  EXPECT_FALSE(DownloadUrlToFile(server_.Url("/missing"), path));
  ASSERT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::file_size(path), 0u);
  const std::string nobody = "http://127.0.0.1:" + std::to_string(UnusedLocalPort()) + "/x";
  EXPECT_FALSE(DownloadUrlToFile(nobody, path));
  EXPECT_TRUE(fs::exists(path));
  // A request that merely fails is no error of ours: no message.
  EXPECT_TRUE(Messages().empty());
}

TEST_F(InternetTest, FileThatCannotBeCreatedIsReported) {
  server_.SetResponse("/a", {200, "x", {}});
  const std::string url = server_.Url("/a");
  EXPECT_FALSE(DownloadUrlToFile(url, dir_ / "no/such/folder/a"));
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Failed to get file from " + url}));
}

namespace {

class UpdateCheckTest : public InternetTest {
 protected:
  UpdateCheckTest()
      : opener_(dir_), url_("KELDAR_UPDATE_URL", server_.Url("/downloads/keldar.xml")) {
    fs::create_directories(dir_ / "program");
    SetProgramFolderForTesting(dir_ / "program");
  }
  void ServeVersionFile(const std::string& content) {
    server_.SetResponse("/downloads/keldar.xml", {200, content, {}});
  }
  std::string Question(const std::string& running, const std::string& server) const {
    return " A new version is availabe on server.\r The version you are using is : v" + running +
           "\r The new version available on server is : v" + server + "\rOpen " +
           KeldarWebSite() + " to download it?";
  }

  utiltest::TFakeOpener opener_;
  TScopedEnv url_;
};

}  // namespace

TEST_F(UpdateCheckTest, NewerVersionAsksAndOpensTheWebSite) {
  ServeVersionFile("<?xml version=\"1.0\"?>\r\n<Keldar>\r\n  <Program_Version>3.1</Program_Version>\r\n"
                   "  <Program_Version>9.9</Program_Version>\r\n</Keldar>\r\n");
  EXPECT_EQ(CheckForUpdates("3.0"), TUpdateCheckResult::NewVersionOpened);
  const auto log = ReadMessageLog(dir_ / "messages.log");
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].Text, Question("3.0", "3.1"));
  EXPECT_EQ(log[0].Buttons, TMessageButtons::YesNo);
  // Under automation the default answer is given: Yes, so the site was opened.
  EXPECT_EQ(opener_.WaitForLog(), "https://" + KeldarWebSite() + "\n");
  EXPECT_TRUE(fs::exists(dir_ / "program/tempunzipped/keldar.xml"));
}

TEST_F(UpdateCheckTest, AnsweringNoOpensNothing) {
  ServeVersionFile("<Program_Version>3.1</Program_Version>\n");
  TScopedEnv noLog("KELDAR_MESSAGE_LOG", std::nullopt);
  std::vector<TMessage> shown;
  SetMessagePresenter([&shown](const TMessage& m) {
    shown.push_back(m);
    return TMessageAnswer::No;
  });
  const TUpdateCheckResult result = CheckForUpdates("3.0");
  SetMessagePresenter(nullptr);
  EXPECT_EQ(result, TUpdateCheckResult::NewVersionDeclined);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Text, Question("3.0", "3.1"));
  EXPECT_EQ(shown[0].Icon, TMessageIcon::Question);
  EXPECT_EQ(shown[0].DefaultAnswer, TMessageAnswer::Yes);
  EXPECT_FALSE(opener_.Ran());
}

TEST_F(UpdateCheckTest, EqualOrTextuallySmallerVersionIsUpToDate) {
  ServeVersionFile("<Program_Version>3.0</Program_Version>\n");
  EXPECT_EQ(CheckForUpdates(KELDAR_PRODUCT_VERSION), TUpdateCheckResult::UpToDate);
  ServeVersionFile("<Program_Version>3.10</Program_Version>\n");
  EXPECT_EQ(CheckForUpdates("3.9"), TUpdateCheckResult::UpToDate);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Zorvane Audio Player is up to date.",
                                                  "Zorvane Audio Player is up to date."}));
  EXPECT_FALSE(opener_.Ran());
}

TEST_F(UpdateCheckTest, TagIsFoundInAnyCaseAndTrailingTextStays) {
  ServeVersionFile("<keldar><PROGRAM_VERSION>3.1</program_version> beta</keldar>\n");
  EXPECT_EQ(CheckForUpdates("3.0"), TUpdateCheckResult::NewVersionOpened);
  EXPECT_EQ(Messages(), (std::vector<std::string>{Question("3.0", "3.1 beta</keldar>")}));
}

TEST_F(UpdateCheckTest, NoVersionInfo) {
  ServeVersionFile("<Keldar>\n<Version>3.1</Version>\n</Keldar>\n");
  EXPECT_EQ(CheckForUpdates("3.0"), TUpdateCheckResult::NoVersionInfo);
  ServeVersionFile("<Program_Version></Program_Version>\n");
  EXPECT_EQ(CheckForUpdates("3.0"), TUpdateCheckResult::NoVersionInfo);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Could not get version info from server.",
                                                  "Could not get version info from server."}));
}

TEST_F(UpdateCheckTest, UnreachableServer) {
  TScopedEnv nobody("KELDAR_UPDATE_URL",
                    "http://127.0.0.1:" + std::to_string(UnusedLocalPort()) + "/downloads/keldar.xml");
  EXPECT_EQ(CheckForUpdates("3.0"), TUpdateCheckResult::NoVersionInfo);
  EXPECT_EQ(Messages(), (std::vector<std::string>{"Could not get version info from server."}));
  // A stale version file from an earlier check does not count.
  EXPECT_EQ(fs::file_size(dir_ / "program/tempunzipped/keldar.xml"), 0u);
}

TEST(UpdateCheckUrl, EnvironmentOverridesTheBuiltInAddress) {
  TScopedEnv unset("KELDAR_UPDATE_URL", std::nullopt);
  const std::string builtIn = UpdateCheckUrl();
  EXPECT_NE(builtIn.find("keldar.xml"), std::string::npos);
  TScopedEnv set("KELDAR_UPDATE_URL", std::string("http://127.0.0.1:1/v.xml"));
  EXPECT_EQ(UpdateCheckUrl(), "http://127.0.0.1:1/v.xml");
}
