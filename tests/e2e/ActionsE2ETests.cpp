// Clicks through the control channel landing on the real controls of the running player:
// the equalizer switch, the close button (the player exits and saves its files), the
// now-playing record of a generated song, and skin packages handed to the player.
#include "DeckE2EFixture.h"

namespace {

// One number of keldarctl's JSON line; INT64_MIN when missing.
long long JsonNumber(const std::string& json, const std::string& key) {
  const std::string open = "\"" + key + "\":";
  const std::size_t at = json.find(open);
  if (at == std::string::npos) return INT64_MIN;
  try {
    return std::stoll(json.substr(at + open.size()));
  } catch (...) {
    return INT64_MIN;
  }
}

std::string Utf16(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    out.push_back(c);
    out.push_back('\0');
  }
  return out;
}

// An archive of every file of `folder` at its top level; `replace` swaps one file's text.
bool MakeSkinPackage(const std::string& package, const std::string& folder, const std::string& replacedName,
                     const std::string& replacement) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& file : fs::directory_iterator(folder)) {
    if (!file.is_regular_file()) continue;
    const std::string name = file.path().filename().string();
    files.emplace_back(name, name == replacedName ? replacement : ReadTextFile(file.path().string()));
  }
  return files.size() > 10 && WriteZip(package, files);
}

class ActionsE2E : public DeckE2E {
 protected:
  std::string Ini() const { return ReadTextFile(program + "/keldar3.ini"); }
  // The Default skin's source folder with the playlist background changed to #102030.
  std::string RecolouredPackage(const std::string& name) {
    const std::string source = std::string(KELDAR_PROGRAM_DIR) + "/skins/Default-source";
    std::string text = ReadTextFile(source + "/Playlist_Text.ini");
    const std::size_t at = text.find("NormalBG=#");
    if (at == std::string::npos) return {};
    text.replace(at, std::string("NormalBG=#4AA5FF").size(), "NormalBG=#102030");
    const std::string package = dir / name;
    return MakeSkinPackage(package, source, "Playlist_Text.ini", text) ? package : std::string();
  }
  // #102030 as the record holds it (0x00BBGGRR).
  static constexpr long long kRecolouredBackground = 0x302010;
  long long Background() { return JsonNumber(Status(), "BackgroundColor"); }
};

TEST_F(ActionsE2E, EqualizerButtonShowsTheWindowAndTheCloseMessageExitsSavingTheFiles) {
  Settings("Options_EQVisibleState=0\n");
  const std::string song = Song("Saved Band - Kept Song.wav", 3, 440);
  ASSERT_TRUE(StartWith({song}));
  EXPECT_EQ(Ctl("send 0x940D"), "0\n");
  // 9403 clicks the main window's close button: the exit sequence runs and the player ends.
  Ctl("send 0x9403");
  ASSERT_EQ(player.WaitForExit(10000), 0);
  const std::string ini = Ini();
  EXPECT_NE(ini.find("Options_EQVisibleState=1"), std::string::npos) << ini;
  const std::string playlist = ReadTextFile(program + "/keldar3.ZPL");
  EXPECT_NE(playlist.find(Utf16("Saved Band - Kept Song.wav")), std::string::npos);
  EXPECT_EQ(Ctl("status"), "");
}

TEST_F(ActionsE2E, EqualizerCloseButtonHidesTheWindowAgain) {
  Settings("Options_EQVisibleState=1\n");
  ASSERT_TRUE(player.Start({}));
  Ctl("send 0x941E");
  Ctl("send 0x9403");
  ASSERT_EQ(player.WaitForExit(10000), 0);
  EXPECT_NE(Ini().find("Options_EQVisibleState=0"), std::string::npos) << Ini();
}

TEST_F(ActionsE2E, StatusOfAPlayingSongShowsItsTagsTimeStateAndFormat) {
  const std::string wav = dir / "tone.wav";
  const std::string mp3 = dir / "Zorvane Band - Test Tone.mp3";
  ASSERT_TRUE(Shell("sox -n -r 44100 -c 2 -b 16 '" + wav + "' synth 8 sine 440 gain -12 && lame --quiet -b 128 "
                    "--ta 'Zorvane Band' --tt 'Test Tone' '" + wav + "' '" + mp3 + "'"));
  ASSERT_TRUE(StartWith({mp3}));
  Ctl("play");
  ASSERT_TRUE(WaitForState("Playing", "1", 3000)) << Status();
  ASSERT_TRUE(WaitFor([&] { return ShownSeconds() >= 1; }, 3000)) << Status();
  const int earlier = ShownSeconds();
  ASSERT_TRUE(WaitFor([&] { return ShownSeconds() > earlier; }, 2500)) << Status();
  const std::string status = Status();
  EXPECT_EQ(JsonText(status, "TitleName"), "Test Tone");
  EXPECT_EQ(JsonText(status, "ArtistName"), "Zorvane Band");
  EXPECT_EQ(JsonText(status, "PlayerStatusText"), "Playing");
  EXPECT_EQ(JsonText(status, "OutputChannelsText"), "2");
  EXPECT_EQ(JsonText(status, "SampleRateText"), "44100");
  // Measured from the stream's bytes per second, tags included: near the encoder's 128.
  const int bitrate = std::stoi("0" + JsonText(status, "BitrateText"));
  EXPECT_GE(bitrate, 120) << status;
  EXPECT_LE(bitrate, 136) << status;
  EXPECT_EQ(Seconds(JsonText(status, "TotalTimeText")), 8) << status;
  EXPECT_EQ(player.Terminate(), 0);
}

TEST_F(ActionsE2E, ASkinPackageHandedToTheRunningPlayerIsLoaded) {
  const std::string package = RecolouredPackage("Recoloured.KSK");
  ASSERT_FALSE(package.empty());
  ASSERT_TRUE(player.Start({}));
  ASSERT_TRUE(WaitFor([&] { return Background() != INT64_MIN && Background() != 0; }, 3000)) << Status();
  EXPECT_NE(Background(), kRecolouredBackground);
  Ctl("add '" + package + "'");
  EXPECT_TRUE(WaitFor([&] { return Background() == kRecolouredBackground; }, 4000)) << Status();
  EXPECT_TRUE(fs::is_regular_file(program + "/skins/Recoloured.KSK"));
  // Not played, not listed: a package is a skin.
  EXPECT_EQ(JsonText(Status(), "FullPathAndFilename"), "");
  Ctl("send 0x9403");
  ASSERT_EQ(player.WaitForExit(10000), 0);
  EXPECT_NE(Ini().find("Options_SkinToBeLoaded=Recoloured.KSK"), std::string::npos) << Ini();
  // Unpacked and read without the loader's complaints.
  for (const TMessage& m : ReadMessageLog(log)) {
    EXPECT_EQ(m.Text.find("CORRUPTED"), std::string::npos) << m.Text;
    EXPECT_EQ(m.Text.find("internal error"), std::string::npos) << m.Text;
  }
}

TEST_F(ActionsE2E, ASkinPackageOnTheCommandLineLoadsAfterTheRememberedSkin) {
  const std::string package = RecolouredPackage("Start.KSK");
  ASSERT_FALSE(package.empty());
  ASSERT_TRUE(player.Start({package}));
  EXPECT_TRUE(WaitFor([&] { return Background() == kRecolouredBackground; }, 4000)) << Status();
  EXPECT_EQ(player.Terminate(), 0);
  EXPECT_NE(Ini().find("Options_SkinToBeLoaded=Start.KSK"), std::string::npos) << Ini();
}

}  // namespace
