// Reading and writing "keldarskin.ini".
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "SkinTestTables.h"
#include "skin/KELDARSkinDefinitionFile.h"

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

class KELDARSkinDefinition : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("keldar_skin_def_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  static std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }

  // The key=value lines of the skin section, in file order.
  static Pairs SectionPairs(const std::string& text) {
    Pairs pairs;
    std::istringstream in(text);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty() && line.front() == '[') {
        inside = line == "[ZorvaneAudioPlayerSkin]";
        continue;
      }
      const auto eq = line.find('=');
      if (inside && eq != std::string::npos) pairs.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return pairs;
  }

  // The own table after reading a definition holding one line for the volume knob.
  TBuiltSkin ReadVolumeLine(const std::string& value) {
    TBuiltSkin t(TKELDARSkinFamily::Own);
    ReadKELDARSkinDefinition("[ZorvaneAudioPlayerSkin]\nDeckForm_VolumeButton=" + value + "\n", *t.Skin);
    return t;
  }

  std::filesystem::path dir_;
};

}  // namespace

TEST_F(KELDARSkinDefinition, OwnCatalogueWritesTheDefaultDefinition) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  const std::string path = PathOf("keldarskin.ini");
  WriteKELDARSkinDefinitionFile(path, *t.Skin);
  const Pairs written = SectionPairs(ReadText(path));
  ASSERT_EQ(written.size(), 172u);
  for (std::size_t i = 0; i < written.size(); ++i) EXPECT_EQ(written[i].first, KELDARSkinControlIdentStrings[i + 1]);
  EXPECT_EQ(written, SectionPairs(BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily::Own)));
  const std::string text = ReadText(path);
  EXPECT_NE(text.find("\nForm_NullControl=172,True,False,1,0,0,0,0\n"), std::string::npos);
  EXPECT_NE(text.find("\nDeckForm_VolumeButton=29,True,True,2,0,0,11,5\n"), std::string::npos);
  EXPECT_EQ(text.find("ZorvaneAudioPlayerControls_"), std::string::npos);
  EXPECT_EQ(text.rfind("[ZorvaneAudioPlayerSkin]\n", 0), 0u);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST_F(KELDARSkinDefinition, EveryFamilyRoundTripsThroughItsDefinition) {
  for (auto family : {TKELDARSkinFamily::Own, TKELDARSkinFamily::Winamp, TKELDARSkinFamily::Kjofol}) {
    TBuiltSkin source(family);
    // Disturb the geometry so the round trip must carry every field.
    source[DeckForm_PlayButton].Control_Left = -17;
    source[DeckForm_PlayButton].Control_Enabled = false;
    source[DeckForm_PlayButton].Control_Direction = true;
    source[DeckForm_PlayButton].Control_ParentControl = DeckForm_TitleBarImage;
    const std::string path = PathOf("roundtrip.ini");
    WriteKELDARSkinDefinitionFile(path, *source.Skin);
    TBuiltSkin target(family);
    ReadKELDARSkinDefinitionFile(path, *target.Skin);
    for (int id = 0; id < 174; ++id)
      EXPECT_EQ(FormatKELDARSkinDefinitionValue(target[id]), FormatKELDARSkinDefinitionValue(source[id])) << id;
  }
}

TEST_F(KELDARSkinDefinition, BlanksAroundGeometryFieldsAreDropped) {
  TBuiltSkin t = ReadVolumeLine("29,True,True,  2 , -3,\t4 ,11 ,  5");
  const auto& knob = t[DeckForm_VolumeButton];
  EXPECT_EQ(knob.Control_NumberOfImages, 2);
  EXPECT_EQ(knob.Control_Left, -3);
  EXPECT_EQ(knob.Control_Top, 4);
  EXPECT_EQ(knob.Control_Width, 11);
  EXPECT_EQ(knob.Control_Height, 5);
  EXPECT_EQ(FormatKELDARSkinDefinitionValue(knob), "29,True,True,2,-3,4,11,5");
}

TEST_F(KELDARSkinDefinition, NineOrMoreFieldsReadTheFirstEight) {
  TBuiltSkin t = ReadVolumeLine("30,False,False,3,1,2,7,8,99,garbage");
  EXPECT_EQ(FormatKELDARSkinDefinitionValue(t[DeckForm_VolumeButton]), "30,False,False,3,1,2,7,8");
}

TEST_F(KELDARSkinDefinition, LenientBooleans) {
  EXPECT_EQ(FormatKELDARSkinDefinitionValue(ReadVolumeLine("29,true,1,2,0,0,11,5")[DeckForm_VolumeButton]),
            "29,True,True,2,0,0,11,5");
  EXPECT_EQ(FormatKELDARSkinDefinitionValue(ReadVolumeLine("29,FALSE,0,2,0,0,11,5")[DeckForm_VolumeButton]),
            "29,False,False,2,0,0,11,5");
  EXPECT_TRUE(ReadVolumeLine("29,-4,tRuE,2,0,0,11,5")[DeckForm_VolumeButton].Control_Enabled);
  EXPECT_TRUE(ReadVolumeLine("29,2.5,tRuE,2,0,0,11,5")[DeckForm_VolumeButton].Control_Enabled);
}

TEST_F(KELDARSkinDefinition, UnreadableLinesRaiseAndLeaveTheTableAlone) {
  const std::vector<std::string> broken = {
      "29, True,True,2,0,0,11,5",  // blank before a boolean
      "29,True, 1,2,0,0,11,5",     // blank before a numeric boolean
      "29,True ,True,2,0,0,11,5",  // blank after a boolean
      " 29x,True,True,2,0,0,11,5", "29,yes,True,2,0,0,11,5", "29,True,nan,2,0,0,11,5",
      "29,True,True,2,0,0,11",      // seven fields
      "",                           // present but empty
      "29,True,True,two,0,0,11,5", "29,True,True,2,0,0,1 1,5",
      "29,True,True,2,0,0,11,99999999999999999999",
      "-1,True,True,2,0,0,11,5",  // parents outside 0..173
      "174,True,True,2,0,0,11,5", "255,True,True,2,0,0,11,5", "4294967325,True,True,2,0,0,11,5",
      "29 ,True,True,2,0,0,11,5",  // the parent is not trimmed
  };
  for (const auto& value : broken) {
    TBuiltSkin t(TKELDARSkinFamily::Own);
    const std::string text = "[ZorvaneAudioPlayerSkin]\nDeckForm_PlayButton=1,True,False,2,1,2,3,4\n"
                             "DeckForm_VolumeButton=" + value + "\n";
    EXPECT_THROW(ReadKELDARSkinDefinition(text, *t.Skin), ESkinDefinitionError) << value;
    EXPECT_EQ(t[DeckForm_PlayButton].Control_Left, 88) << "table changed by a broken skin: " << value;
    EXPECT_EQ(FormatKELDARSkinDefinitionValue(t[DeckForm_VolumeButton]), "29,True,True,2,0,0,11,5");
  }
}

TEST_F(KELDARSkinDefinition, OutOfRangeGeometryIsBoundedNotFatal) {
  TBuiltSkin t = ReadVolumeLine("29,True,True,-5,-2147483648,2147483647,-1,3000000000");
  const auto& knob = t[DeckForm_VolumeButton];
  EXPECT_EQ(knob.Control_NumberOfImages, 0);
  EXPECT_EQ(knob.Control_Left, -KELDARSkinDefinitionMaxMagnitude);
  EXPECT_EQ(knob.Control_Top, KELDARSkinDefinitionMaxMagnitude);
  EXPECT_EQ(knob.Control_Width, 0);
  EXPECT_EQ(knob.Control_Height, KELDARSkinDefinitionMaxMagnitude);
  // A panel above its button keeps its negative offset.
  EXPECT_EQ(ReadVolumeLine("29,True,True,1,0,-60,28,60")[DeckForm_VolumeButton].Control_Top, -60);
  // Parents at both ends of the range are accepted.
  EXPECT_EQ(ReadVolumeLine("0,True,True,1,0,0,1,1")[DeckForm_VolumeButton].Control_ParentControl, 0);
  EXPECT_EQ(ReadVolumeLine("173,True,True,1,0,0,1,1")[DeckForm_VolumeButton].Control_ParentControl, 173);
}

TEST_F(KELDARSkinDefinition, MissingKeysGetTheZeroLineAndMarkersAreNeverRead) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  ReadKELDARSkinDefinition("[ZorvaneAudioPlayerSkin]\n"
                           "ZorvaneAudioPlayerControls_START=5,False,True,9,9,9,9,9\n"
                           "ZorvaneAudioPlayerControls_END=broken\n",
                           *t.Skin);
  EXPECT_EQ(FormatKELDARSkinDefinitionValue(t[DeckForm_PlayButton]), KELDARSkinDefinitionMissingValue);
  EXPECT_EQ(FormatKELDARSkinDefinitionValue(t[Form_NullControl]), KELDARSkinDefinitionMissingValue);
  EXPECT_EQ(t[ZorvaneAudioPlayerControls_START].Control_ParentControl, Form_NullControl);
  EXPECT_EQ(t[ZorvaneAudioPlayerControls_START].Control_NumberOfImages, 0);
  // Kinds and hints always come from the catalogue.
  EXPECT_EQ(t[DeckForm_PlayButton].Control_Type, KELDARSkinButtonControl);
  EXPECT_EQ(t[DeckForm_PlayButton].Control_TextString, "Play Current File");
}

TEST_F(KELDARSkinDefinition, IniRules) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  ReadKELDARSkinDefinition("\xEF\xBB\xBF[Other]\r\nDeckForm_PlayButton=1,True,False,9,9,9,9,9\r\n"
                           "[zorvaneaudioplayerskin]\r\n"
                           "  DeckForm_PlayButton  =  1,True,False,2,7,8,30,20  \r\n"
                           "DeckForm_PlayButton=1,True,False,2,0,0,0,0\r\n"
                           "deckform_stopbutton=1,True,False,2,0,0,0,0\r\n"
                           "[ZorvaneAudioPlayerSkin]\r\nDeckForm_PauseButton=1,True,False,2,5,5,5,5\r\n",
                           *t.Skin);
  // Section names ignore case, values are trimmed, the first key wins.
  EXPECT_EQ(FormatKELDARSkinDefinitionValue(t[DeckForm_PlayButton]), "1,True,False,2,7,8,30,20");
  // Keys are compared exactly, and only the first section of that name is read.
  EXPECT_EQ(FormatKELDARSkinDefinitionValue(t[DeckForm_StopButton]), KELDARSkinDefinitionMissingValue);
  EXPECT_EQ(FormatKELDARSkinDefinitionValue(t[DeckForm_PauseButton]), KELDARSkinDefinitionMissingValue);
}

TEST_F(KELDARSkinDefinition, WritingKeepsOtherSectionsAndKeys) {
  const std::string path = PathOf("keldarskin.ini");
  WriteText(path,
            "; made by hand\n[About]\nAuthor=Someone\n\n[ZorvaneAudioPlayerSkin]\nComment=keep me\n"
            "DeckForm_PlayButton=1,False,False,0,0,0,0,0\n\n[Tail]\nX=1\n");
  TBuiltSkin t(TKELDARSkinFamily::Own);
  WriteKELDARSkinDefinitionFile(path, *t.Skin);
  const std::string text = ReadText(path);
  EXPECT_EQ(text.rfind("; made by hand\n[About]\nAuthor=Someone\n", 0), 0u);
  EXPECT_NE(text.find("[Tail]\nX=1\n"), std::string::npos);
  const Pairs pairs = SectionPairs(text);
  ASSERT_EQ(pairs.size(), 173u);
  EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>("Comment", "keep me")));
  EXPECT_EQ(pairs[1], (std::pair<std::string, std::string>("DeckForm_PlayButton", "1,True,False,2,88,108,30,20")));
  // New keys follow in identifier order, inside the section, before [Tail].
  EXPECT_EQ(pairs[2].first, "DeckForm_MainImage");
  EXPECT_EQ(pairs.back().first, "Form_NullControl");
  EXPECT_LT(text.find("Form_NullControl="), text.find("[Tail]"));
  // Writing again changes nothing.
  WriteKELDARSkinDefinitionFile(path, *t.Skin);
  EXPECT_EQ(ReadText(path), text);
}

TEST_F(KELDARSkinDefinition, UnreadableFilesAreErrors) {
  TBuiltSkin t(TKELDARSkinFamily::Own);
  EXPECT_THROW(ReadKELDARSkinDefinitionFile(PathOf("missing.ini"), *t.Skin), ESkinDefinitionError);
  EXPECT_THROW(WriteKELDARSkinDefinitionFile(PathOf("no/such/folder/keldarskin.ini"), *t.Skin), ESkinDefinitionError);
  // A file far beyond any definition's size is refused without reading it whole.
  const std::string huge = PathOf("huge.ini");
  { std::ofstream(huge, std::ios::binary) << "[ZorvaneAudioPlayerSkin]\n"; }
  std::filesystem::resize_file(huge, 64ull * 1024 * 1024);
  EXPECT_THROW(ReadKELDARSkinDefinitionFile(huge, *t.Skin), ESkinDefinitionError);
}

TEST_F(KELDARSkinDefinition, GarbageNeverCrashes) {
  std::string noise;
  unsigned state = 12345;
  for (int i = 0; i < 20000; ++i) {
    state = state * 1103515245u + 12345u;
    const char alphabet[] = "[]=,\n\r \t-0123456789TrueFalsDeckForm_PlayButton";
    noise += alphabet[(state >> 16) % (sizeof(alphabet) - 1)];
  }
  for (const std::string& text : {noise, "[ZorvaneAudioPlayerSkin]\n" + noise, std::string("[ZorvaneAudioPlayerSkin"),
                                  std::string("=\n=\n[]\n[ZorvaneAudioPlayerSkin]\n=,,,,,,,\n")}) {
    TBuiltSkin t(TKELDARSkinFamily::Own);
    try {
      ReadKELDARSkinDefinition(text, *t.Skin);
    } catch (const ESkinDefinitionError&) {
    }
    for (int id = 0; id < 174; ++id) EXPECT_TRUE(IsKELDARSkinControlOrdinal(t[id].Control_ParentControl));
  }
}
