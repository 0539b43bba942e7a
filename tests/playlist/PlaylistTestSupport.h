// A program folder with the bundled input plug-ins, the supported-types table built from
// it, and helpers to write archives and small files.
#pragma once

#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "engine/KELDAR_SupportedFileTypes.h"
#include "playlist/InputPluginEngineHooks.h"
#include "playlist/TPlaylist.h"
#include "plugins/zpinput_plugins_Loader_API.h"
#include "settings/SettingsFunctionsToINIFiles.h"
#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

namespace playlist_test {

namespace fs = std::filesystem;

inline std::vector<std::string> Locators(const TPlaylist& playlist) {
  std::vector<std::string> out;
  for (const auto& item : playlist.Items()) out.push_back(item.FullPathAndFilename);
  return out;
}

inline TPlayListBoxItem Entry(const std::string& path, int32_t length = 0) {
  TPlayListBoxItem item;
  item.FullPathAndFilename = path;
  item.FilePlaybackLength = length;
  return item;
}

// name -> data; regular files only.
inline void MakeZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  archive* a = archive_write_new();
  archive_write_set_format_zip(a);
  ASSERT_EQ(archive_write_open_filename(a, path.c_str()), ARCHIVE_OK);
  for (const auto& [name, data] : entries) {
    archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, name.c_str());
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    archive_entry_set_size(entry, static_cast<la_int64_t>(data.size()));
    archive_write_header(a, entry);
    archive_write_data(a, data.data(), data.size());
    archive_entry_free(entry);
  }
  archive_write_close(a);
  archive_write_free(a);
}

inline std::vector<std::string> MessageTexts(const std::string& log) {
  std::vector<std::string> texts;
  for (const auto& m : ReadMessageLog(log)) texts.push_back(m.Text);
  return texts;
}

// Runs a shell command; true on exit status 0.
inline bool RunCommand(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()) == 0; }

class TProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitSettingsDefaults();
    fs::create_directories(program / "inputplugins");
    fs::create_directories(program / "tempunzipped" / "info");
    fs::create_directories(program / "skins");
    for (const char* name : {"zpinput_playlists.so", "zpinput_archives.so", "zpinput_pictures.so"})
      fs::create_symlink(fs::path(KELDAR_PROGRAM_DIR) / "inputplugins" / name, program / "inputplugins" / name);
    SetProgramFolderForTesting(program.string());
    log = (fs::path(root.Path()) / "messages.log").string();
    setenv("KELDAR_MESSAGE_LOG", log.c_str(), 1);
    InstallInputPluginEngineHooks(nullptr);
    ClearSupportedFileTypes();
    BuildSupportedFileTypes();
    ASSERT_EQ(LoadAllInputPlugins(nullptr), 3);
  }
  void TearDown() override {
    UnloadAllInputPlugins();
    ClearSupportedFileTypes();
    unsetenv("KELDAR_MESSAGE_LOG");
  }
  std::string Path(const std::string& name) const { return root / name; }
  std::vector<std::string> Messages() const { return MessageTexts(log); }

  TTempFolder root;
  fs::path program = fs::path(root.Path()) / "program";
  std::string log;
};

}  // namespace playlist_test
