// The favourites line format and the freedb "sites" reply reader on their own.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "dialogs/FreedbServersFromInternet.h"
#include "dialogs/URLFavourites.h"

TEST(URLFavouritesFormat, LinesReadAndWriteBack) {
  const URLFavouriteStructure f = ParseURLFavouriteLine("URLLink=http://a.example:8000/x?y=1;URLDescription=A = B;");
  EXPECT_EQ(f.URLLink, "http://a.example:8000/x?y=1");
  EXPECT_EQ(f.URLDescription, "A = B");
  EXPECT_EQ(URLFavouriteFileLine(f), "URLLink=http://a.example:8000/x?y=1;URLDescription=A = B;");
  // Keys in any case; a line without them gives empty fields; more than 99 lines are cut.
  EXPECT_EQ(ParseURLFavouriteLine("urllink=http://b/;urldescription=B;").URLLink, "http://b/");
  EXPECT_EQ(ParseURLFavouriteLine("garbage").URLLink, "");
  EXPECT_EQ(URLFavouritesFromLines(std::vector<std::string>(150, "URLLink=http://c/;")).TotalURLFavourites, 99);
}

TEST(FreedbSitesReply, OnlyA210ReplyWithHttpLinesCounts) {
  freedbServersStructure servers;
  EXPECT_FALSE(FreedbServersFromSitesReply({"401 No site information available."}, servers));
  EXPECT_FALSE(FreedbServersFromSitesReply({}, servers));
  std::vector<std::string> reply{"210 Ok"};
  for (int i = 0; i < 150; ++i) reply.push_back("m" + std::to_string(i) + ".example http 80 /cgi N1 E1 Somewhere far");
  reply.push_back(".");
  ASSERT_TRUE(FreedbServersFromSitesReply(reply, servers));
  EXPECT_EQ(servers.TotalServers, 100);
  EXPECT_EQ(servers.CurrentServer[99].ServerAddress, "m99.example");
  // Short lines are no servers.
  ASSERT_TRUE(FreedbServersFromSitesReply({"210 Ok", "short http 80", "."}, servers));
  EXPECT_EQ(servers.TotalServers, 0);
}

TEST(FreedbServerFile, TenThousandLinesAMegabyteLineAndBinaryGiveAtMost100Servers) {
  const std::string path = std::filesystem::temp_directory_path() / ("keldar-servers-" + std::to_string(::getpid()) + ".ini");
  std::string text = "big.example http 80 /cgi N1 E1 " + std::string(1 << 20, 'd') + "\n";
  for (int i = 0; i < 10000; ++i)
    text += (i % 2 ? std::string("\x00\xff binary\n", 10) : "m" + std::to_string(i) + ".example http 80 /cgi N1 E1 City\n");
  {
    std::ofstream out(path, std::ios::binary);
    out << text;
  }
  ::setenv("KELDAR_MESSAGE_LOG", "/dev/null", 1);
  freedbServersStructure servers;
  EXPECT_TRUE(LoadfreedbServersFromFile(servers, path));
  EXPECT_EQ(servers.TotalServers, 100);
  EXPECT_EQ(servers.CurrentServer[0].ServerLocationDescription.size(), size_t(1) << 20);
  // Nothing usable at all: the 12 defaults.
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << std::string("\x01\x02\x03\n\n", 5);
  }
  EXPECT_FALSE(LoadfreedbServersFromFile(servers, path));
  EXPECT_EQ(servers.TotalServers, 12);
  ::unsetenv("KELDAR_MESSAGE_LOG");
  std::filesystem::remove(path);
}
