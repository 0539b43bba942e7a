// The input plug-in loader, its services and the bundled playlist, archive and picture
// plug-ins, driven exactly as the player drives them.
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <QImage>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <thread>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "playlist/TPlaylist.h"
#include "playlist/InputPluginServices.h"
#include "plugins/PluginCallGuard.h"
#include "plugins/zpinput_plugins_Loader_API.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
void WriteFile(const fs::path& p, const std::string& text) {
  std::ofstream(p, std::ios::binary) << text;
}

std::vector<std::string> Locators(const TPlaylist& playlist) {
  std::vector<std::string> out;
  for (const auto& item : playlist.Items()) out.push_back(item.FullPathAndFilename);
  return out;
}

struct ArchiveEntrySpec {
  std::string name;
  std::string data;
  std::string symlinkTarget;  // non-empty: a symlink entry
};

// format chooses the writer's format and filters.
void MakeArchive(const fs::path& path, const std::vector<ArchiveEntrySpec>& entries, void (*format)(archive*)) {
  archive* a = archive_write_new();
  format(a);
  ASSERT_EQ(archive_write_open_filename(a, path.c_str()), ARCHIVE_OK);
  for (const auto& e : entries) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, e.name.c_str());
    if (!e.symlinkTarget.empty()) {
      archive_entry_set_filetype(entry, AE_IFLNK);
      archive_entry_set_symlink(entry, e.symlinkTarget.c_str());
      archive_entry_set_perm(entry, 0777);
      archive_entry_set_size(entry, 0);
    } else {
      archive_entry_set_filetype(entry, AE_IFREG);
      archive_entry_set_perm(entry, 0644);
      archive_entry_set_size(entry, static_cast<la_int64_t>(e.data.size()));
    }
    archive_write_header(a, entry);
    if (e.symlinkTarget.empty()) archive_write_data(a, e.data.data(), e.data.size());
    archive_entry_free(entry);
  }
  archive_write_close(a);
  archive_write_free(a);
}

void MakeArchive(const fs::path& path, const std::vector<ArchiveEntrySpec>& entries, bool zip) {
  if (zip) MakeArchive(path, entries, [](archive* a) { archive_write_set_format_zip(a); });
  else MakeArchive(path, entries, [](archive* a) { archive_write_set_format_pax_restricted(a); });
}

std::vector<std::string> MessageTexts(const std::string& log) {
  std::vector<std::string> texts;
  for (const auto& m : ReadMessageLog(log)) texts.push_back(m.Text);
  return texts;
}

class InputPluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("keldar_inputplugins_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "program" / "inputplugins");
    for (const char* name : {"zpinput_playlists.so", "zpinput_archives.so", "zpinput_pictures.so"})
      fs::create_symlink(fs::path(KELDAR_PROGRAM_DIR) / "inputplugins" / name,
                         root / "program" / "inputplugins" / name);
    SetProgramFolderForTesting((root / "program").string());
    log = (root / "messages.log").string();
    setenv("KELDAR_MESSAGE_LOG", log.c_str(), 1);
    unsetenv("ZPINPUT_HOSTILE_MODE");
    unsetenv("ZPINPUT_HOSTILE_KIND");
    ASSERT_EQ(LoadAllInputPlugins(nullptr), 3);
  }
  void TearDown() override {
    UnloadAllInputPlugins();
    unsetenv("KELDAR_MESSAGE_LOG");
    fs::remove_all(root);
  }
  // Loads the hostile plug-in behind the bundled ones.
  void LoadHostile(const char* mode, int kind) {
    setenv("ZPINPUT_HOSTILE_MODE", mode, 1);
    setenv("ZPINPUT_HOSTILE_KIND", std::to_string(kind).c_str(), 1);
    auto& table = KELDAR_input_PLUGIN_DLL_Table();
    ASSERT_TRUE(LoadInputPlugin(table.KELDAR_input_PLUGIN_DLL_TotalInTable, KELDAR_HOSTILE_PLUGIN, nullptr));
    ++table.KELDAR_input_PLUGIN_DLL_TotalInTable;
    hostileSlot = table.KELDAR_input_PLUGIN_DLL_TotalInTable - 1;
  }
  fs::path root;
  std::string log;
  int hostileSlot = -1;
};

TEST_F(InputPluginTest, DiscoveryLoadingAndLookup) {
  ASSERT_TRUE(LoadInputPlugin(0, KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record[0]->PLUGIN_FullPathAndFilename,
                              reinterpret_cast<void*>(uintptr_t(0x1234))));
  auto rows = DiscoverInputPluginFormats();
  EXPECT_EQ(KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record[0]->PLUGIN_DLL_Export_Interface->input_hwndParent,
            reinterpret_cast<void*>(uintptr_t(0x1234)));
  auto kindOf = [&](const std::string& ext) {
    for (const auto& r : rows)
      if (r.Extension == ext) return static_cast<int>(r.PluginType);
    return -1;
  };
  for (const char* e : {".M3U", ".M3U8", ".PLS", ".XSPF", ".ASX", ".WPL"}) EXPECT_EQ(kindOf(e), 1) << e;
  for (const char* e : {".ZIP", ".RAR", ".7Z", ".TAR", ".TGZ", ".WSZ", ".KSK"}) EXPECT_EQ(kindOf(e), 2) << e;
  for (const char* e : {".JPG", ".PNG", ".BMP"}) EXPECT_EQ(kindOf(e), 3) << e;
  // Discovery leaves the live table as it was.
  EXPECT_EQ(KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_TotalInTable, 3);
  EXPECT_EQ(KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record.size(), 3u);

  const int m3u = FindInputPluginForExtension(".M3U");
  ASSERT_GE(m3u, 0);
  EXPECT_EQ(FindInputPluginForExtension(".m3u"), m3u);
  EXPECT_EQ(InputPluginType(m3u), 1);
  EXPECT_EQ(FindInputPluginForExtension(".NOPE"), -1);

  // A later plug-in declaring the same extension never wins.
  LoadHostile("fail", 1);
  EXPECT_EQ(FindInputPluginForExtension(".M3U"), m3u);
  EXPECT_EQ(FindInputPluginForExtension(".HOS"), hostileSlot);

  // A file that is no library: the message, and the slot is reused by the next file.
  const auto broken = root / "program" / "inputplugins" / "zpinput_aaa_broken.so";
  WriteFile(broken, "not a library");
  EXPECT_EQ(LoadAllInputPlugins(nullptr), 3);
  EXPECT_EQ(MessageTexts(log), std::vector<std::string>{"Error Loading gen plugin: " + broken.string()});
  EXPECT_EQ(KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record.size(), 3u);
}

TEST_F(InputPluginTest, PlaylistRoundTripKeepsLocatorsInOrder) {
  TPlaylist source;
  for (std::string path : {"/music/Änne & Co/01 first.mp3", "/music/second one.ogg",
                           "http://radio.example:8000/stream", "/music/third.flac"}) {
    TPlayListBoxItem item;
    item.FullPathAndFilename = path;
    item.TitleName = "T " + std::to_string(source.Count());
    item.FilePlaybackLength = 60 + source.Count();
    source.Add(item);
  }
  for (const char* ext : {".m3u", ".M3U8", ".pls", ".xspf", ".asx", ".wpl"}) {
    const auto file = root / (std::string("list") + ext);
    ASSERT_TRUE(WriteForeignPlaylist(source, file.string())) << ext;
    TPlaylist back;
    TPlayListBoxItem stale;
    stale.FullPathAndFilename = "/stale.mp3";
    back.Add(stale);
    EXPECT_EQ(ReadForeignPlaylist(back, file.string(), true), 1) << ext;
    EXPECT_EQ(Locators(back), Locators(source)) << ext << "\n" << ReadFile(file);
    if (std::string(ext) != ".wpl") {
      ASSERT_EQ(back.Count(), source.Count());
      EXPECT_EQ(back.Item(1).TitleName, "T 1") << ext;
    }
    if (std::string(ext) != ".asx" && std::string(ext) != ".wpl") {
      EXPECT_EQ(back.Item(2).FilePlaybackLength, 62) << ext;
    }
  }
  EXPECT_TRUE(MessageTexts(log).empty());
}

TEST_F(InputPluginTest, RelativePathsResolveAgainstThePlaylistFolder) {
  const auto dir = root / "lists" / "sub";
  fs::create_directories(dir);
  const std::string base = fs::weakly_canonical(root / "lists").string();
  WriteFile(dir / "a.m3u",
            "\xEF\xBB\xBF#EXTM3U\n#EXTINF:123,Some Artist - Some Title\nsongs/a.mp3\r\n"
            "../b.mp3\n# a comment\nhttp://host/x.mp3\n/abs/c.mp3\nwin\\d.mp3\n");
  WriteFile(dir / "a.pls", "[playlist]\nFile2=../two.mp3\nFile1=one.mp3\nTitle1=One\nNumberOfEntries=2\n");
  WriteFile(dir / "a.xspf",
            "<?xml version=\"1.0\"?><playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\"><trackList>"
            "<track><location>rel%20x.mp3</location></track>"
            "<track><location>file:///abs/y%20z.mp3</location></track></trackList></playlist>");
  WriteFile(dir / "a.asx", "<ASX version=\"3.0\"><Entry><Title>T</Title><REF HREF=\"r.wma\"/></Entry>"
                           "<entry><ref href=\"mms://media/s\"/></entry></ASX>");
  WriteFile(dir / "a.wpl", "<?wpl version=\"1.0\"?><smil><body><seq><media src=\"..\\w.wma\"/></seq></body></smil>");
  const std::string sub = base + "/sub";

  TPlaylist p;
  ASSERT_EQ(ReadForeignPlaylist(p, (dir / "a.m3u").string(), true), 1);
  EXPECT_EQ(Locators(p), (std::vector<std::string>{sub + "/songs/a.mp3", base + "/b.mp3", "http://host/x.mp3",
                                                   "/abs/c.mp3", sub + "/win/d.mp3"}));
  EXPECT_EQ(p.Item(0).ArtistName, "Some Artist");
  EXPECT_EQ(p.Item(0).TitleName, "Some Title");
  EXPECT_EQ(p.Item(0).FilePlaybackLength, 123);

  ReadForeignPlaylist(p, (dir / "a.pls").string(), true);
  EXPECT_EQ(Locators(p), (std::vector<std::string>{sub + "/one.mp3", base + "/two.mp3"}));
  ReadForeignPlaylist(p, (dir / "a.xspf").string(), true);
  EXPECT_EQ(Locators(p), (std::vector<std::string>{sub + "/rel x.mp3", "/abs/y z.mp3"}));
  ReadForeignPlaylist(p, (dir / "a.asx").string(), true);
  EXPECT_EQ(Locators(p), (std::vector<std::string>{sub + "/r.wma", "mms://media/s"}));
  ReadForeignPlaylist(p, (dir / "a.wpl").string(), false);
  EXPECT_EQ(p.Count(), 3);
  EXPECT_EQ(p.Item(2).FullPathAndFilename, base + "/w.wma");

  // Nested playlists: the scan stops at the first entry the reader takes.
  std::vector<std::string> offered;
  int result = ReadForeignPlaylist(p, (dir / "a.m3u").string(), true, [&](const std::string& l) {
    offered.push_back(l);
    return l == "http://host/x.mp3" ? 1 : 0;
  });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(offered.size(), 3u);

  // Not a playlist kind, or no plug-in: nothing happens.
  EXPECT_EQ(ReadForeignPlaylist(p, (dir / "x.zip").string(), true), 0);
  EXPECT_EQ(ReadForeignPlaylist(p, (dir / "x.unknown").string(), true), 0);
  EXPECT_EQ(p.Count(), 5);
  // A missing file reads nothing and leaves the list alone.
  EXPECT_EQ(ReadForeignPlaylist(p, (dir / "missing.m3u").string(), true), 1);
  EXPECT_EQ(p.Count(), 5);
}

// Answers one HTTP request with the body, then stops.
class OneShotHttpServer {
 public:
  explicit OneShotHttpServer(std::string body) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    listen(listener_, 1);
    thread_ = std::thread([this, body] {
      int client = accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      char request[4096];
      (void)!read(client, request, sizeof request);
      std::string reply = "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                          "\r\n\r\n" + body;
      (void)!write(client, reply.data(), reply.size());
      close(client);
    });
  }
  ~OneShotHttpServer() {
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
  }
  int port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
};

TEST_F(InputPluginTest, PlaylistBehindAUrlIsDownloadedFirst) {
  OneShotHttpServer server("[playlist]\nFile1=http://radio.example/one\nFile2=http://radio.example/two\n");
  TPlaylist p;
  const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/stations.pls";
  EXPECT_EQ(ReadForeignPlaylist(p, url, true), 1);
  EXPECT_EQ(Locators(p), (std::vector<std::string>{"http://radio.example/one", "http://radio.example/two"}));
  EXPECT_TRUE(fs::exists(root / "program" / "tempunzipped" / "tempurls.PLS"));
}

TEST_F(InputPluginTest, RelativeEntriesOfADownloadedPlaylistResolveAgainstItsUrl) {
  OneShotHttpServer server("#EXTM3U\nsong.mp3\nsub/two.ogg\nhttp://other.example/abs.mp3\n/local/three.mp3\n");
  TPlayListBoxItem kept;
  kept.FullPathAndFilename = "/kept.mp3";
  TPlaylist p;
  p.Add(kept);
  const std::string host = "http://127.0.0.1:" + std::to_string(server.port());
  EXPECT_EQ(ReadForeignPlaylist(p, host + "/lists/radio.m3u", false), 1);
  EXPECT_EQ(Locators(p), (std::vector<std::string>{"/kept.mp3", host + "/lists/song.mp3", host + "/lists/sub/two.ogg",
                                                   "http://other.example/abs.mp3", "/local/three.mp3"}));
}

TEST_F(InputPluginTest, M3UThatIsNotUtf8IsReadAsWindows1252) {
  const auto dir = root / "lists";
  fs::create_directories(dir);
  // "Björk - Jóga" and "Sigur Rós – Hoppípolla" (with an en dash, 0x96) in Windows-1252.
  WriteFile(dir / "latin.m3u", "#EXTM3U\n#EXTINF:10,Bj\xF6rk - J\xF3ga\n/music/j\xF3ga.mp3\n"
                               "#EXTINF:20,Sigur R\xF3s - Hopp\xEDpolla \x96 live\n/music/hopp.mp3\n");
  // Valid UTF-8 stays UTF-8, in an .m3u too.
  WriteFile(dir / "utf8.m3u", "#EXTINF:10,Bj\xC3\xB6rk - J\xC3\xB3ga\n/music/j\xC3\xB3ga.mp3\n");
  TPlaylist p;
  ASSERT_EQ(ReadForeignPlaylist(p, (dir / "latin.m3u").string(), true), 1);
  ASSERT_EQ(p.Count(), 2);
  EXPECT_EQ(p.Item(0).ArtistName, "Bj\xC3\xB6rk");
  EXPECT_EQ(p.Item(0).TitleName, "J\xC3\xB3ga");
  EXPECT_EQ(p.Item(0).FullPathAndFilename, "/music/j\xC3\xB3ga.mp3");
  EXPECT_EQ(p.Item(1).TitleName, "Hopp\xC3\xADpolla \xE2\x80\x93 live");
  ASSERT_EQ(ReadForeignPlaylist(p, (dir / "utf8.m3u").string(), true), 1);
  EXPECT_EQ(p.Item(0).ArtistName, "Bj\xC3\xB6rk");
  EXPECT_EQ(p.Item(0).FullPathAndFilename, "/music/j\xC3\xB3ga.mp3");
  // A sequence cut off by the end of the file is no UTF-8 either: nothing of it is dropped.
  WriteFile(dir / "cut.m3u", "/music/j\xC3\xB3ga.mp3\n/music/caf\xC3");
  ASSERT_EQ(ReadForeignPlaylist(p, (dir / "cut.m3u").string(), true), 1);
  EXPECT_EQ(Locators(p), (std::vector<std::string>{"/music/j\xC3\x83\xC2\xB3ga.mp3", "/music/caf\xC3\x83"}));
}

TEST_F(InputPluginTest, M3USpellingsBeyondPlainAsciiReadAsTheirUnicodeMeaning) {
  const auto dir = root / "spelled";
  fs::create_directories(dir);
  const std::string base = fs::weakly_canonical(dir).string();
  // No-break and ideographic spaces around texts, a signed length, tabs, dot segments and
  // doubled slashes, a file URL, a relative path with a non-ASCII name.
  WriteFile(dir / "s.m3u",
            "#extinf:\t+42 ,\xC2\xA0" "Artist\xC2\xA0 - Title\xE3\x80\x80\n\xC2\xA0/abs/./x//y.mp3\xC2\xA0\n"
            "#EXTINF:1x,Bad Length\n/abs/z/../w.mp3\n"
            "#EXTINF:99999999999,Too Long\nfile:///abs/c%20d.mp3\n"
            "#EXTINF:7,\xC3\x89t\xC3\xA9 - \xC3\x94\n\xC3\xA9t\xC3\xA9/\xC3\xA0.mp3\n");
  TPlaylist p;
  ASSERT_EQ(ReadForeignPlaylist(p, (dir / "s.m3u").string(), true), 1);
  EXPECT_EQ(Locators(p), (std::vector<std::string>{"/abs/x/y.mp3", "/abs/w.mp3", "/abs/c d.mp3",
                                                   base + "/\xC3\xA9t\xC3\xA9/\xC3\xA0.mp3"}));
  ASSERT_EQ(p.Count(), 4);
  EXPECT_EQ(p.Item(0).FilePlaybackLength, 42);
  EXPECT_EQ(p.Item(0).ArtistName, "Artist");
  EXPECT_EQ(p.Item(0).TitleName, "Title");
  EXPECT_EQ(p.Item(1).FilePlaybackLength, 0);
  EXPECT_EQ(p.Item(1).TitleName, "Bad Length");
  EXPECT_EQ(p.Item(2).FilePlaybackLength, 0);
  EXPECT_EQ(p.Item(3).FilePlaybackLength, 7);
  EXPECT_EQ(p.Item(3).ArtistName, "\xC3\x89t\xC3\xA9");
  EXPECT_EQ(p.Item(3).TitleName, "\xC3\x94");
  EXPECT_EQ(p.TotalPlaybackSeconds(), 49);
}

TEST_F(InputPluginTest, AnM3UOfManyEntriesArrivesWholeAndInOrder) {
  // Some megabytes of item stream: the host takes it from the plug-in in pieces, and entries
  // cut by a piece's end must arrive whole.
  const auto dir = root / "many";
  fs::create_directories(dir);
  const std::string base = fs::weakly_canonical(dir).string();
  constexpr int kEntries = 30000;
  std::string text = "#EXTM3U\n";
  int64_t total = 0;
  for (int i = 0; i < kEntries; ++i) {
    const int length = 1 + i % 600;
    total += length;
    text += "#EXTINF:" + std::to_string(length) + ",Artist " + std::to_string(i % 97) + " - S\xC3\xB8ng " +
            std::to_string(i) + "\n";
    text += (i % 3 ? "/music/" : "rel/") + std::to_string(i) + std::string(i % 50, 'x') + ".mp3\n";
  }
  WriteFile(dir / "many.m3u", text);
  TPlaylist p;
  TPlayListBoxItem kept;
  kept.FullPathAndFilename = "/kept.mp3";
  kept.FilePlaybackLength = 5;
  p.Add(kept);
  ASSERT_EQ(ReadForeignPlaylist(p, (dir / "many.m3u").string(), false), 1);
  ASSERT_EQ(p.Count(), kEntries + 1);
  EXPECT_EQ(p.TotalPlaybackSeconds(), total + 5);
  for (int i = 0; i < kEntries; ++i) {
    const TPlayListBoxItem& item = p.Item(i + 1);
    const std::string path = (i % 3 ? "/music/" : base + "/rel/") + std::to_string(i) + std::string(i % 50, 'x') + ".mp3";
    ASSERT_EQ(item.FullPathAndFilename, path) << i;
    ASSERT_EQ(item.ArtistName, "Artist " + std::to_string(i % 97)) << i;
    ASSERT_EQ(item.TitleName, "S\xC3\xB8ng " + std::to_string(i)) << i;
    ASSERT_EQ(item.FilePlaybackLength, 1 + i % 600) << i;
    ASSERT_EQ(item.PitchValue, 50) << i;
    ASSERT_FALSE(item.TagIDDataRetrieved) << i;
  }
}

TEST_F(InputPluginTest, ZipIsListedAndExtracted) {
  const auto zip = root / "songs.zip";
  MakeArchive(zip, {{"music/one.mp3", "ONE-DATA", ""}, {"two.mp3", "TWO-DATA", ""},
                    {"readme.txt", "text", ""}}, true);
  std::vector<std::string> list;
  ASSERT_TRUE(ListArchive(zip.string(), list));
  EXPECT_EQ(list, (std::vector<std::string>{"music/one.mp3", "two.mp3", "readme.txt"}));

  const auto dest = root / "program" / "tempunzipped";
  ASSERT_TRUE(ExtractFromArchive(zip.string(), "music/one.mp3", dest.string()));
  EXPECT_EQ(ReadFile(dest / "one.mp3"), "ONE-DATA");
  EXPECT_FALSE(fs::exists(dest / "two.mp3"));
  EXPECT_FALSE(ExtractFromArchive(zip.string(), "absent.mp3", dest.string()));

  const auto all = root / "all";
  ASSERT_TRUE(ExtractFromArchive(zip.string(), "*.*", all.string()));
  EXPECT_EQ(ReadFile(all / "music" / "one.mp3"), "ONE-DATA");
  EXPECT_EQ(ReadFile(all / "two.mp3"), "TWO-DATA");
  EXPECT_EQ(ReadFile(all / "readme.txt"), "text");

  // Skin packages are archives under another name; a broken archive lists nothing.
  fs::copy_file(zip, root / "skin.wsz");
  EXPECT_TRUE(ListArchive((root / "skin.wsz").string(), list));
  EXPECT_EQ(list.size(), 3u);
  WriteFile(root / "broken.zip", "PK\x03\x04 garbage");
  EXPECT_FALSE(ListArchive((root / "broken.zip").string(), list));
  EXPECT_TRUE(list.empty());
}

TEST_F(InputPluginTest, HostileArchiveWritesNothingOutsideTheDestination) {
  const auto sandbox = root / "sandbox";
  const auto dest = sandbox / "a" / "b" / "dest";
  const auto outside = root / "outside";
  fs::create_directories(dest);
  fs::create_directories(outside);
  const std::string absolute = (root / "absolute_evil").string();
  for (bool zip : {true, false}) {
    const auto archivePath = root / (zip ? "hostile.zip" : "hostile.tar");
    MakeArchive(archivePath, {{"../../evil", "E", ""}, {"x/../../../evil2", "E", ""},
                              {absolute, "E", ""}, {"lnk", "", outside.string()},
                              {"lnk/through", "E", ""}, {"ok.txt", "fine", ""}}, zip);
    ExtractFromArchive(archivePath.string(), "*.*", dest.string());
    EXPECT_FALSE(ExtractFromArchive(archivePath.string(), "../../evil", dest.string()));
    EXPECT_FALSE(ExtractFromArchive(archivePath.string(), "lnk", dest.string()));
    EXPECT_EQ(ReadFile(dest / "ok.txt"), "fine");
    EXPECT_FALSE(fs::exists(absolute));
    EXPECT_TRUE(fs::is_empty(outside));
    std::vector<std::string> found;
    for (const auto& e : fs::recursive_directory_iterator(sandbox)) found.push_back(e.path().string());
    // The link entry is dropped; "lnk/through" then lands in a real folder inside dest.
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{(sandbox / "a").string(), (sandbox / "a" / "b").string(),
                                               dest.string(), (dest / "lnk").string(),
                                               (dest / "lnk" / "through").string(), (dest / "ok.txt").string()}));
    EXPECT_FALSE(fs::is_symlink(dest / "lnk"));
    fs::remove(dest / "ok.txt");
    fs::remove_all(dest / "lnk");
  }
  // A link already sitting in the destination is not followed either.
  fs::create_symlink(outside / "target.txt", dest / "ok.txt");
  ExtractFromArchive((root / "hostile.zip").string(), "ok.txt", dest.string());
  EXPECT_TRUE(fs::is_empty(outside));
}

// Every file under folder, relative, sorted.
std::vector<std::string> FilesUnder(const fs::path& folder) {
  std::vector<std::string> files;
  if (!fs::exists(folder)) return files;
  for (const auto& e : fs::recursive_directory_iterator(folder)) files.push_back(fs::relative(e.path(), folder).string());
  std::sort(files.begin(), files.end());
  return files;
}

TEST_F(InputPluginTest, ArchivesAreBoundedAndARefusedExtractionLeavesNothing) {
  // A bomb: 24 MiB of zeros packs to a few KiB.
  const auto bomb = root / "bomb.zip";
  MakeArchive(bomb, {{"small.mp3", "SMALL", ""}, {"big/zeros.wav", std::string(24 << 20, '\0'), ""}}, true);
  std::vector<std::string> list;
  ASSERT_TRUE(ListArchive(bomb.string(), list));
  EXPECT_EQ(list, std::vector<std::string>{"small.mp3"}) << "only what extraction accepts is listed";
  const auto dest = root / "dest";
  EXPECT_FALSE(ExtractFromArchive(bomb.string(), "*.*", dest.string()));
  EXPECT_EQ(FilesUnder(dest), std::vector<std::string>{});
  EXPECT_FALSE(ExtractFromArchive(bomb.string(), "big/zeros.wav", dest.string()));
  EXPECT_EQ(FilesUnder(dest), std::vector<std::string>{});
  ASSERT_TRUE(ExtractFromArchive(bomb.string(), "small.mp3", dest.string()));
  fs::remove_all(dest);

  // Total bytes of one extraction: incompressible entries in a plain tar under a lowered limit.
  std::string noise(600 * 1000, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 2654435761u) >> 13);
  const auto large = root / "large.tar";
  MakeArchive(large, {{"a.mp3", noise, ""}, {"b.mp3", noise, ""}, {"huge.mp3", noise + noise, ""}}, false);
  setenv("ZPINPUT_ARCHIVE_MAX_BYTES", "1000000", 1);
  ASSERT_TRUE(ListArchive(large.string(), list));
  EXPECT_EQ(list, (std::vector<std::string>{"a.mp3", "b.mp3"}));
  EXPECT_FALSE(ExtractFromArchive(large.string(), "*.*", dest.string()));
  EXPECT_EQ(FilesUnder(dest), std::vector<std::string>{});
  EXPECT_TRUE(ExtractFromArchive(large.string(), "b.mp3", dest.string()));
  EXPECT_FALSE(ExtractFromArchive(large.string(), "huge.mp3", dest.string()));
  EXPECT_EQ(FilesUnder(dest), std::vector<std::string>{"b.mp3"});
  unsetenv("ZPINPUT_ARCHIVE_MAX_BYTES");
  fs::remove_all(dest);

  // Entries per archive: 10 001 empty files are refused as a whole, 10 000 are fine.
  for (int count : {10001, 10000}) {
    std::vector<ArchiveEntrySpec> many;
    for (int i = 0; i < count; ++i) many.push_back({"f" + std::to_string(i), "", ""});
    const auto path = root / ("many" + std::to_string(count) + ".tar");
    MakeArchive(path, many, false);
    EXPECT_EQ(ListArchive(path.string(), list), count == 10000) << count;
    EXPECT_EQ(list.size(), count == 10000 ? 10000u : 0u);
    EXPECT_EQ(ExtractFromArchive(path.string(), "*.*", dest.string()), count == 10000) << count;
    EXPECT_EQ(FilesUnder(dest).size(), count == 10000 ? 10000u : 0u);
    fs::remove_all(dest);
  }

  // Formats we do not declare are not read, whatever the name says.
  {
    const auto cpio = root / "other.zip";
    MakeArchive(cpio, {{"song.mp3", "DATA", ""}}, [](archive* a) { archive_write_set_format_cpio(a); });
    EXPECT_FALSE(ListArchive(cpio.string(), list));
    EXPECT_FALSE(ExtractFromArchive(cpio.string(), "song.mp3", dest.string()));
  }
  // A gzipped tar, one of the compressions we declare, still is.
  {
    const auto tgz = root / "songs.tgz";
    MakeArchive(tgz, {{"song.mp3", "DATA", ""}}, [](archive* a) {
      archive_write_set_format_pax_restricted(a);
      archive_write_add_filter_gzip(a);
    });
    EXPECT_TRUE(ListArchive(tgz.string(), list));
    EXPECT_EQ(list, std::vector<std::string>{"song.mp3"});
  }
}

TEST_F(InputPluginTest, PicturesLoadWithSizeAndPixels) {
  for (const char* ext : {".png", ".bmp", ".jpg"}) {
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    image.setPixelColor(3, 2, QColor(255, 0, 0));
    const auto path = root / (std::string("pic") + ext);
    ASSERT_TRUE(image.save(QString::fromStdString(path.string()), nullptr, 100)) << ext;
    TInputPluginPicture picture;
    ASSERT_TRUE(LoadPictureWithPlugin(path.string(), picture)) << ext;
    EXPECT_EQ(picture.Width, 7);
    EXPECT_EQ(picture.Height, 5);
    ASSERT_EQ(picture.Pixels.size(), 35u);
    const uint32_t corner = picture.Pixels[0];
    if (std::string(ext) == ".jpg") {
      EXPECT_GT(corner & 0xFF, 200u) << std::hex << corner;  // blue stays blue
      EXPECT_LT((corner >> 16) & 0xFF, 60u) << std::hex << corner;
    } else {
      EXPECT_EQ(corner, 0xFF0000FFu);
      EXPECT_EQ(picture.Pixels[2 * 7 + 3], 0xFFFF0000u);
    }
  }
  TInputPluginPicture picture;
  WriteFile(root / "bad.png", "not a picture");
  EXPECT_FALSE(LoadPictureWithPlugin((root / "bad.png").string(), picture));
  EXPECT_FALSE(LoadPictureWithPlugin((root / "songs.zip").string(), picture));
  EXPECT_EQ(picture.Width, 0);
}

TEST_F(InputPluginTest, RefusedSaveShowsTheMessageAndLeavesTheFile) {
  LoadHostile("fail", 1);
  const auto file = root / "list.hos";
  WriteFile(file, "previous");
  TPlaylist p;
  TPlayListBoxItem item;
  item.FullPathAndFilename = "/a.mp3";
  p.Add(item);
  EXPECT_TRUE(WriteForeignPlaylist(p, file.string()));
  EXPECT_EQ(ReadFile(file), "previous");
  EXPECT_EQ(MessageTexts(log), std::vector<std::string>{" Saving is not supported for .HOS files"});
  // A failed load reads nothing.
  EXPECT_EQ(ReadForeignPlaylist(p, file.string(), true), 1);
  EXPECT_EQ(p.Count(), 1);
  EXPECT_EQ(InputPluginInitialize(hostileSlot), 65535);
  EXPECT_EQ(InputPluginLoadData(99, "x"), 65535);
  EXPECT_EQ(InputPluginSaveData(-1, "x", ""), 65535);
}

TEST_F(InputPluginTest, HostilePluginsDoNotCrashTheLoader) {
  TPlaylist p;
  TPlayListBoxItem item;
  item.FullPathAndFilename = "/keep.mp3";
  std::vector<std::string> list{"stale"};
  TInputPluginPicture picture;
  for (const char* mode : {"garbage", "badpointer", "throw"}) {
    SCOPED_TRACE(mode);
    p.Clear();
    p.Add(item);
    for (int kind : {1, 2, 3}) {
      LoadHostile(mode, kind);
      const std::string file = (root / "x.hos").string();
      EXPECT_EQ(FindInputPluginForExtension(".HOS"), hostileSlot);
      if (kind == 1) {
        EXPECT_EQ(ReadForeignPlaylist(p, file, true), 1);
        EXPECT_EQ(Locators(p), std::vector<std::string>{"/keep.mp3"});
        EXPECT_TRUE(WriteForeignPlaylist(p, file));
      } else if (kind == 2) {
        EXPECT_FALSE(ListArchive(file, list));
        EXPECT_TRUE(list.empty());
        EXPECT_FALSE(ExtractFromArchive(file, "*.*", root.string()));
      } else {
        EXPECT_FALSE(LoadPictureWithPlugin(file, picture));
        EXPECT_EQ(picture.Width, 0);
      }
      if (std::string(mode) == "throw") {
        EXPECT_EQ(InputPluginInitialize(hostileSlot), 65535);
        EXPECT_EQ(InputPluginLoadData(hostileSlot, file), 65535);
        InputPluginClose(hostileSlot);
      }
      UnloadInputPlugin(hostileSlot);
      --KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_TotalInTable;
      KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record.resize(3);
    }
  }
  // Every refused save of a playlist was reported, none of the rest.
  EXPECT_EQ(MessageTexts(log), std::vector<std::string>(3, " Saving is not supported for .HOS files"));
}

TEST_F(InputPluginTest, APluginThatCrashesFailsTheCallAndIsNotCalledAgain) {
  const std::string file = (root / "x.hos").string();
  TPlaylist p;
  // Each entry on its own, in a freshly loaded plug-in: the call fails, the player goes on,
  // and the plug-in is not entered again until it is reloaded.
  const std::vector<std::pair<const char*, std::function<bool(int)>>> entries = {
      {"Initialize", [](int slot) { return InputPluginInitialize(slot) == 65535; }},
      {"LoadData", [&](int slot) { return InputPluginLoadData(slot, file) == 65535; }},
      {"SaveData", [&](int slot) { return InputPluginSaveData(slot, file, "") == 65535; }},
      {"Close", [](int slot) { InputPluginClose(slot); return true; }},
      {"write", [](int slot) { return !InputPluginWriteStream(slot, InputPluginStream(slot), "bytes"); }},
  };
  for (const auto& [name, call] : entries) {
    SCOPED_TRACE(name);
    LoadHostile("segv", 1);
    ASSERT_FALSE(InputPluginUnusable(hostileSlot));
    const unsigned long before = GuardedPluginCrashCount();
    EXPECT_TRUE(call(hostileSlot));
    EXPECT_EQ(GuardedPluginCrashCount(), before + 1);
    EXPECT_TRUE(InputPluginUnusable(hostileSlot));
    // Marked unusable: every entry now fails without running the plug-in.
    EXPECT_EQ(InputPluginInitialize(hostileSlot), 65535);
    EXPECT_EQ(InputPluginLoadData(hostileSlot, file), 65535);
    EXPECT_EQ(ReadForeignPlaylist(p, file, true), 0);
    EXPECT_EQ(GuardedPluginCrashCount(), before + 1);
    UnloadInputPlugin(hostileSlot);
    --KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_TotalInTable;
    KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record.resize(3);
  }
  // Through the services the player uses: a crashing playlist plug-in reads nothing.
  LoadHostile("segv", 1);
  TPlayListBoxItem item;
  item.FullPathAndFilename = "/keep.mp3";
  p.Clear();
  p.Add(item);
  EXPECT_EQ(ReadForeignPlaylist(p, file, true), 1);
  EXPECT_EQ(Locators(p), std::vector<std::string>{"/keep.mp3"});
  EXPECT_TRUE(InputPluginUnusable(hostileSlot));
  UnloadInputPlugin(hostileSlot);
  --KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_TotalInTable;
  KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record.resize(3);

  // A plug-in whose interface function crashes is a plug-in that does not load.
  setenv("ZPINPUT_HOSTILE_MODE", "segvload", 1);
  EXPECT_FALSE(LoadInputPlugin(3, KELDAR_HOSTILE_PLUGIN, nullptr));
  EXPECT_EQ(MessageTexts(log).back(), std::string("Error Loading gen plugin: ") + KELDAR_HOSTILE_PLUGIN);
  KELDAR_input_PLUGIN_DLL_Table().KELDAR_input_PLUGIN_DLL_Record.resize(3);
  // The bundled plug-ins still work.
  EXPECT_GE(FindInputPluginForExtension(".M3U"), 0);
}

}  // namespace
