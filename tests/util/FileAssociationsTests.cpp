#include <gtest/gtest.h>

#include <filesystem>

#include "util/DesktopKeyFile.h"
#include "util/FileAssociations.h"
#include "util/ShowMessage.h"
#include "UtilTestHelpers.h"

namespace fs = std::filesystem;
using utiltest::ReadFile;
using utiltest::TScopedEnv;
using utiltest::WriteFile;

namespace {

class FileAssociationsTest : public ::testing::Test {
 protected:
  FileAssociationsTest()
      : home_("HOME", dir_ / "home"),
        dataHome_("XDG_DATA_HOME", dir_ / "home/.local/share"),
        configHome_("XDG_CONFIG_HOME", dir_ / "home/.config"),
        dataDirs_("XDG_DATA_DIRS", dir_ / "system/share"),
        configDirs_("XDG_CONFIG_DIRS", dir_ / "system/xdg"),
        log_("KELDAR_MESSAGE_LOG", dir_ / "messages.log") {
    WriteFile(program_, "#!/bin/sh\n");
    WriteFile(dir_ / "system/share/applications/vlc.desktop",
              "[Desktop Entry]\nName=VLC\nExec=/usr/bin/vlc --started-from-file %U\n");
  }

  std::string MimeApps() const { return ReadFile(MimeAppsListPath()); }
  std::optional<std::string> Default(const std::string& type) const {
    TDesktopKeyFile f;
    f.Load(MimeAppsListPath());
    return f.Get("Default Applications", type);
  }

  utiltest::TTempDir dir_;
  TScopedEnv home_, dataHome_, configHome_, dataDirs_, configDirs_, log_;
  const std::string program_ = dir_ / "app/keldar3";
};

}  // namespace

TEST_F(FileAssociationsTest, ProgramClassIsADesktopEntry) {
  ASSERT_TRUE(RegisterProgramClass(program_));
  EXPECT_EQ(DesktopEntryPath(), dir_ / "home/.local/share/applications/keldarfiles.desktop");
  TDesktopKeyFile entry;
  ASSERT_TRUE(entry.Load(DesktopEntryPath()));
  EXPECT_EQ(entry.Get("Desktop Entry", "Name").value_or(""), "Zorvane Audio Player Files");
  EXPECT_EQ(entry.Get("Desktop Entry", "Exec").value_or(""), program_ + " %f");
  EXPECT_EQ(entry.Get("Desktop Entry", "Type").value_or(""), "Application");
  ASSERT_TRUE(UnregisterProgramClass());
  EXPECT_FALSE(fs::exists(DesktopEntryPath()));
}

TEST_F(FileAssociationsTest, MissingProgramIsReportedAndNothingChanges) {
  const std::string missing = dir_ / "nowhere/keldar3";
  EXPECT_FALSE(AssociateExtension("MP3", missing));
  const auto messages = ReadMessageLog(dir_ / "messages.log");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].Text, "Error: Program not found: " + missing);
  EXPECT_FALSE(fs::exists(MimeAppsListPath()));
  EXPECT_FALSE(fs::exists(DesktopEntryPath()));
}

TEST_F(FileAssociationsTest, AssociateKeepsEveryOtherLineAndTheBackup) {
  const std::string before =
      "# my settings\n[Added Associations]\naudio/mpeg=vlc.desktop;\n\n"
      "[Default Applications]\naudio/mpeg=vlc.desktop;\ntext/plain=gedit.desktop\n";
  WriteFile(MimeAppsListPath(), before);
  RegisterProgramClass(program_);
  ASSERT_TRUE(AssociateExtension("MP3", program_));
  EXPECT_EQ(MimeApps(),
            "# my settings\n[Added Associations]\naudio/mpeg=vlc.desktop;\n\n"
            "[Default Applications]\naudio/mpeg=keldarfiles.desktop;\ntext/plain=gedit.desktop\n");
  EXPECT_EQ(GetAssociatedProgram("mp3"), program_);
  EXPECT_TRUE(ReadMessageLog(dir_ / "messages.log").empty());

  ASSERT_TRUE(UnassociateExtension("mp3"));
  EXPECT_EQ(MimeApps(), before);
  EXPECT_EQ(GetAssociatedProgram(".MP3"), "/usr/bin/vlc --started-from-file");
}

TEST_F(FileAssociationsTest, AssociatingTwiceKeepsTheFirstBackup) {
  WriteFile(MimeAppsListPath(), "[Default Applications]\nvideo/mpeg=vlc.desktop;\n");
  ASSERT_TRUE(AssociateExtension("mpg", program_));  // writes the program class itself
  ASSERT_TRUE(AssociateExtension("mpg", program_));
  ASSERT_TRUE(AssociateExtension("vob", program_));  // same MIME type
  EXPECT_EQ(GetAssociatedProgram("vob"), program_);
  ASSERT_TRUE(UnassociateExtension("mpeg"));
  EXPECT_EQ(Default("video/mpeg").value_or(""), "vlc.desktop;");
}

TEST_F(FileAssociationsTest, NoPreviousDefaultLeavesNoneBehind) {
  ASSERT_TRUE(AssociateExtension("xm", program_));
  EXPECT_EQ(Default("audio/x-xm").value_or(""), "keldarfiles.desktop;");
  ASSERT_TRUE(UnassociateExtension("xm"));
  EXPECT_FALSE(Default("audio/x-xm"));
  EXPECT_EQ(GetAssociatedProgram("xm"), "");
  // Our default without any backup record (say the backup file was lost) is removed too.
  WriteFile(MimeAppsListPath(), "[Default Applications]\naudio/x-it=keldarfiles.desktop\n");
  ASSERT_TRUE(UnassociateExtension("it"));
  EXPECT_FALSE(Default("audio/x-it"));
}

TEST_F(FileAssociationsTest, AnotherProgramsDefaultIsNeverUndone) {
  WriteFile(MimeAppsListPath(), "[Default Applications]\naudio/flac=vlc.desktop;\n");
  ASSERT_TRUE(UnassociateExtension("flac"));
  EXPECT_EQ(Default("audio/flac").value_or(""), "vlc.desktop;");
  // Chosen by the user after we associated it: left as the user set it.
  ASSERT_TRUE(AssociateExtension("wav", program_));
  TDesktopKeyFile f;
  f.Load(MimeAppsListPath());
  f.Set("Default Applications", "audio/x-wav", "other.desktop");
  f.Save(MimeAppsListPath());
  ASSERT_TRUE(UnassociateExtension("wav"));
  EXPECT_EQ(Default("audio/x-wav").value_or(""), "other.desktop");
}

TEST_F(FileAssociationsTest, ProgramPathWithSpacesAndShellCharactersReadsBack) {
  const std::string odd = dir_ / "My Apps/$HOME \"x\"/keldar3";
  WriteFile(odd, "");
  ASSERT_TRUE(AssociateExtension("ogg", odd));
  EXPECT_EQ(GetAssociatedProgram("ogg"), odd);
}

TEST_F(FileAssociationsTest, AssociatedProgramStrippingAndLookupOrder) {
  WriteFile(dir_ / "system/share/applications/quoted.desktop",
            "[Desktop Entry]\nExec=\"/opt/Foo Bar/foo\" %F\n");
  WriteFile(dir_ / "system/xdg/mimeapps.list",
            "[Default Applications]\naudio/x-mod=missing.desktop;quoted.desktop;\n");
  // The user's own list has no entry for the type: the system-wide one answers, skipping
  // an entry that is not installed.
  WriteFile(MimeAppsListPath(), "[Default Applications]\naudio/x-s3m=vlc.desktop\n");
  EXPECT_EQ(GetAssociatedProgram("mod"), "/opt/Foo Bar/foo");
  EXPECT_EQ(GetAssociatedProgram("s3m"), "/usr/bin/vlc --started-from-file");
  EXPECT_EQ(GetAssociatedProgram("umx"), "");
}

TEST_F(FileAssociationsTest, ExtensionsMapToMimeTypes) {
  EXPECT_EQ(MimeTypesForExtension(".MP3"), (std::vector<std::string>{"audio/mpeg"}));
  EXPECT_EQ(MimeTypesForExtension("ogg").front(), "audio/ogg");
  EXPECT_EQ(MimeTypesForExtension("ZPL"), (std::vector<std::string>{"application/x-extension-zpl"}));
}

TEST(DesktopKeyFile, EditsKeepOtherLines) {
  utiltest::TTempDir dir;
  const std::string path = dir / "f.list";
  WriteFile(path, "[A]\nx=1\n# note\n\n[B]\ny=2\n");
  TDesktopKeyFile f;
  ASSERT_TRUE(f.Load(path));
  f.Set("A", "z", "3");
  f.Set("B", "y", "4");
  f.Set("C", "w", "5");
  f.Remove("A", "x");
  ASSERT_TRUE(f.Save(path));
  EXPECT_EQ(ReadFile(path), "[A]\n# note\nz=3\n\n[B]\ny=4\n\n[C]\nw=5\n");
  EXPECT_EQ(UnescapeKeyFileValue(EscapeKeyFileValue("a\\b\tc")), "a\\b\tc");
  EXPECT_EQ(UnescapeKeyFileValue("a\\sb"), "a b");
}

TEST(DesktopKeyFile, SaveThroughASymbolicLinkKeepsTheLink) {
  utiltest::TTempDir dir;
  WriteFile(dir / "dotfiles/mimeapps.list", "[A]\n");
  fs::create_symlink(dir / "dotfiles/mimeapps.list", dir / "mimeapps.list");
  TDesktopKeyFile f;
  ASSERT_TRUE(f.Load(dir / "mimeapps.list"));
  f.Set("A", "k", "v");
  ASSERT_TRUE(f.Save(dir / "mimeapps.list"));
  EXPECT_TRUE(fs::is_symlink(dir / "mimeapps.list"));
  EXPECT_EQ(ReadFile(dir / "dotfiles/mimeapps.list"), "[A]\nk=v\n");
}
