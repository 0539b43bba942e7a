// The presets dialog on the real equalizer window with the Default skin: the presets file it
// writes and reads, the list handlers against the sliders and the engine's coefficients, and
// damaged or hostile presets files.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QLineEdit>
#include <QTest>

#include <fstream>
#include <random>

#include "app/EqualizerPresetsForm.h"
#include "engine/BASSAPIEffects.h"
#include "engine/EQFilters.h"
#include "engine/KELDAR_AUDIOVIDEO_API.h"
#include "skin/KELDARSkinControlAccessors.h"
#include "skinwindows/SkinnedWindowFixture.h"
#include "util/KeyValueListFunctions.h"
#include "util/ShowMessage.h"

namespace {

KELDARSkinControls_IDs Band(int i) { return static_cast<KELDARSkinControls_IDs>(EqualizerForm_EQBand1Image + 2 * i); }

TEQPresetValues Sliders() { return TEqualizerPresetsForm::GetEQPresetsValuesFromEQBands(); }

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  ReadListFileLines(path, lines);
  return lines;
}

// One user slot as the file holds it.
std::vector<std::string> SlotLines(const std::string& name, int value, const char* defined, const char* editable) {
  std::vector<std::string> lines{name};
  for (int i = 0; i < 11; ++i) lines.push_back(std::to_string(value));
  lines.push_back(defined);
  lines.push_back(editable);
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

class EqualizerPresets : public SkinnedWindows {
 protected:
  void SetUp() override {
    SkinnedWindows::SetUp();
    // The real coefficient computation, without a channel.
    KELDAR_AUDIOVIDEO_API_Slots() = {};
    KELDAR_AUDIOVIDEO_API_Slots().UpdateEQ = BASSAPI_UpdateEQ;
    KELDAR_AUDIOVIDEO_API_State().ChannelInfo.SamplingRate = 44100;
    TEqualizerPresetsForm::SetEQPresetsValuesToEQBands({50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50});
    BASSAPI_UpdateEQ();
  }
  void TearDown() override {
    KELDAR_AUDIOVIDEO_API_Slots() = {};
    SkinnedWindows::TearDown();
  }
  std::string File() const { return program / "keldar3.eqp"; }
  static void Select(TEqualizerPresetsForm& form, int row) {
    form.EQPresetsListBox().setCurrentRow(row);
    form.EQPresetsListBoxClick();
  }
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const TMessage& m : ReadMessageLog(program / "messages.log")) texts.push_back(m.Text);
    return texts;
  }
};

TEST_F(EqualizerPresets, AFreshStartWritesNineteenEmptyUserSlotsAndCountsThePresets) {
  TEqualizerPresetsForm form;
  EXPECT_EQ(form.PresetsFilePath(), File());
  EXPECT_EQ(form.windowTitle().toStdString(), "Equalizer Presets");
  const std::vector<std::string> lines = Lines(File());
  ASSERT_EQ(lines.size(), 266u);
  for (std::size_t slot = 0; slot < 19; ++slot) {
    SCOPED_TRACE(slot);
    const std::size_t at = slot * 14;
    EXPECT_EQ(lines[at], "User Preset <Empty>");
    for (std::size_t v = 1; v <= 11; ++v) EXPECT_EQ(lines[at + v], "50");
    EXPECT_EQ(lines[at + 12], "False");
    EXPECT_EQ(lines[at + 13], "True");
  }
  EXPECT_EQ(form.CounterText(0), "30");
  EXPECT_EQ(form.CounterText(1), "11");
  EXPECT_EQ(form.CounterText(2), "19");
  ASSERT_EQ(form.EQPresetsListBox().count(), 30);
  EXPECT_EQ(form.EQPresetsListBox().item(6)->text().toStdString(), "Rock        (Predefined)");
  EXPECT_EQ(form.EQPresetsListBox().item(10)->text().toStdString(), "Full Treble (Predefined)");
  EXPECT_EQ(EQPresetValues(form.Presets().EQPresetsArray[10]),
            (TEQPresetValues{50, 12, 12, 12, 12, 33, 63, 87, 100, 100, 100}));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(EqualizerPresets, ShowSelectsTheMatchingPresetAndSavingAPredefinedOneFillsTheFreeUserSlots) {
  TEqualizerPresetsForm form;
  form.show();  // all sliders at 50: "Flat"
  EXPECT_EQ(form.EQPresetsListBox().currentRow(), 0);
  EXPECT_EQ(form.Edit1().text().toStdString(), "Flat        (Predefined)");

  Select(form, 6);
  const TEQPresetValues rock = Sliders();
  EXPECT_EQ(rock, (TEQPresetValues{50, 75, 75, 67, 30, 23, 33, 67, 78, 78, 87}));
  form.Button1Click();
  const EQPresetsRecord& copy = form.Presets().EQPresetsArray[11];
  EXPECT_EQ(copy.EQPresetName, "Copy of Rock        (Predefined)");
  EXPECT_TRUE(copy.EQPresetIsDefined);
  EXPECT_EQ(EQPresetValues(copy), rock);
  EXPECT_EQ(form.EQPresetsListBox().currentRow(), 11);
  EXPECT_EQ(form.EQPresetsListBox().item(11)->text().toStdString(), "Copy of Rock        (Predefined)");

  // Enter in the name field saves as well; the rest of the user slots fill up in order.
  for (int slot = 12; slot < 30; ++slot) {
    Select(form, 3);
    QTest::keyClick(&form.Edit1(), Qt::Key_Return);
    EXPECT_EQ(form.Presets().EQPresetsArray[static_cast<std::size_t>(slot)].EQPresetName, "Copy of Dance       (Predefined)")
        << slot;
  }
  // No free slot: nothing changes.
  const EQPresetsStructure before = form.Presets();
  Select(form, 9);
  EXPECT_EQ(form.SaveNewEQPresetAndUpdateListBoxes(), -1);
  for (std::size_t i = 0; i < 30; ++i) {
    EXPECT_EQ(form.Presets().EQPresetsArray[i].EQPresetName, before.EQPresetsArray[i].EQPresetName);
    EXPECT_EQ(EQPresetValues(form.Presets().EQPresetsArray[i]), EQPresetValues(before.EQPresetsArray[i]));
  }

  // A defined user slot is saved in place under the name in the field.
  TEqualizerPresetsForm::SetEQPresetsValuesToEQBands({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0});
  form.EQPresetsListBox().setCurrentRow(15);
  form.Edit1().setText("Mine");
  EXPECT_EQ(form.SaveNewEQPresetAndUpdateListBoxes(), 15);
  EXPECT_EQ(EQPresetValues(form.Presets().EQPresetsArray[15]), (TEQPresetValues{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0}));

  form.hide();  // saves
  const std::vector<std::string> lines = Lines(File());
  ASSERT_EQ(lines.size(), 266u);
  EXPECT_EQ(lines[0], "Copy of Rock        (Predefined)");
  EXPECT_EQ(lines[1], "50");
  EXPECT_EQ(lines[2], "75");
  EXPECT_EQ(lines[12], "True");
  EXPECT_EQ(lines[4 * 14], "Mine");
  // Read back by a new dialog.
  TEqualizerPresetsForm again;
  EXPECT_EQ(again.Presets().EQPresetsArray[11].EQPresetName, "Copy of Rock        (Predefined)");
  EXPECT_EQ(EQPresetValues(again.Presets().EQPresetsArray[15]), (TEQPresetValues{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0}));
}

TEST_F(EqualizerPresets, ClickPreviewsCancelRestoresSlidersAndCoefficientsLoadKeeps) {
  const TEQCoefficientSet flat = EQFilterBank().Published();
  TEqualizerPresetsForm form;
  form.show();
  Select(form, 9);  // Full Bass
  EXPECT_EQ(GetSkinControlValue(Band(0)), 82);
  EXPECT_EQ(KELDAR_AUDIOVIDEO_API_State().Sliders.Bands[0], 82);
  EXPECT_GT(EQFilterBank().Published().Bands[0].Gain, 1.0);
  EXPECT_EQ(GetSkinControlText(Band(0)), "EQ Band 31 Hz:64%");  // the slider's hint follows

  form.Button2Click();  // Cancel
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Sliders(), (TEQPresetValues{50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50}));
  for (int i = 0; i < kEQBandCount; ++i) {
    EXPECT_DOUBLE_EQ(EQFilterBank().Published().Bands[static_cast<std::size_t>(i)].Gain, flat.Bands[static_cast<std::size_t>(i)].Gain);
    EXPECT_DOUBLE_EQ(EQFilterBank().Published().Bands[static_cast<std::size_t>(i)].Alpha, flat.Bands[static_cast<std::size_t>(i)].Alpha);
  }
  EXPECT_DOUBLE_EQ(EQFilterBank().Published().PreAmp, 1.0);

  // Closed any other way after a preview: the sliders and the engine go back too.
  form.show();
  Select(form, 10);
  form.close();
  EXPECT_EQ(Sliders(), (TEQPresetValues{50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50}));
  EXPECT_DOUBLE_EQ(EQFilterBank().Published().Bands[9].Gain, flat.Bands[9].Gain);

  form.show();
  Select(form, 4);  // Pop
  form.Button3Click();  // Load
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(Sliders(), (TEQPresetValues{50, 37, 37, 67, 73, 75, 68, 38, 37, 37, 37}));
  EXPECT_EQ(KELDAR_AUDIOVIDEO_API_State().Sliders.Bands[4], 75);

  // Shown with values of no preset: nothing selected.
  TEqualizerPresetsForm::SetEQPresetsValuesToEQBands({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
  form.show();
  EXPECT_EQ(form.EQPresetsListBox().selectedItems().size(), 0);
  form.Button1Click();  // nothing selected: nothing saved
  EXPECT_FALSE(form.Presets().EQPresetsArray[11].EQPresetIsDefined);
  form.hide();
}

TEST_F(EqualizerPresets, ClearEmptiesOnlyUserSlots) {
  TEqualizerPresetsForm form;
  form.show();
  Select(form, 2);
  form.Button1Click();  // "Copy of Club" in slot 11
  ASSERT_TRUE(form.Presets().EQPresetsArray[11].EQPresetIsDefined);
  Select(form, 2);
  form.Button4Click();  // a predefined preset stays
  EXPECT_EQ(form.Presets().EQPresetsArray[2].EQPresetName, "Club        (Predefined)");
  Select(form, 11);
  EXPECT_EQ(GetSkinControlValue(Band(3)), 67);
  form.Button4Click();
  EXPECT_EQ(form.Presets().EQPresetsArray[11].EQPresetName, "User Preset <Empty>");
  EXPECT_FALSE(form.Presets().EQPresetsArray[11].EQPresetIsDefined);
  EXPECT_EQ(Sliders(), (TEQPresetValues{50, 50, 50, 50, 50, 50, 50, 50, 50, 50, 50}));
  EXPECT_EQ(form.Edit1().text().toStdString(), "User Preset <Empty>");
  EXPECT_EQ(form.EQPresetsListBox().item(11)->text().toStdString(), "User Preset <Empty>");
  form.hide();
}

TEST_F(EqualizerPresets, ANonNumericValueIsReportedAndTheFileRecreated) {
  std::vector<std::string> lines;
  for (int slot = 0; slot < 19; ++slot) {
    const auto s = SlotLines(slot == 0 ? "Kept?" : "User Preset <Empty>", 60, slot == 0 ? "True" : "False", "True");
    lines.insert(lines.end(), s.begin(), s.end());
  }
  lines[14 + 5] = "loud";
  WriteTextFile(File(), Join(lines));
  TEqualizerPresetsForm form;
  const std::vector<std::string> messages = Messages();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "Invalid " + File());
  EXPECT_EQ(messages[1], "Press any key to Recreate: \r" + File());
  const std::vector<std::string> written = Lines(File());
  ASSERT_EQ(written.size(), 266u);
  EXPECT_EQ(written[0], "User Preset <Empty>");
  EXPECT_EQ(written[1], "50");
  EXPECT_EQ(form.Presets().EQPresetsArray[11].EQPresetName, "User Preset <Empty>");
  EXPECT_EQ(form.Presets().EQPresetsTotal, 30);
}

TEST_F(EqualizerPresets, HostileFilesLoadOrAreRecreatedAndValuesStayInRange) {
  // Negative and oversized values are limited; a 5000-character name and 10 000 lines load.
  std::vector<std::string> lines;
  for (int slot = 0; slot < 19; ++slot) {
    const auto s = SlotLines(slot == 0 ? std::string(5000, 'N') : "S" + std::to_string(slot), slot == 1 ? -40 : 250,
                             "true", "1");
    lines.insert(lines.end(), s.begin(), s.end());
  }
  while (lines.size() < 10000) lines.push_back("trailing line " + std::to_string(lines.size()));
  WriteTextFile(File(), Join(lines));
  {
    TEqualizerPresetsForm form;
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(form.Presets().EQPresetsArray[11].EQPresetName.size(), 5000u);
    EXPECT_EQ(form.Presets().EQPresetsArray[12].EQPreAmpValue, 0);
    EXPECT_EQ(form.Presets().EQPresetsArray[13].EQBandsValue[9], 100);
    EXPECT_TRUE(form.Presets().EQPresetsArray[13].EQPresetIsDefined);
  }
  // Binary garbage, a truncated file and an empty file are recreated.
  std::mt19937 random(7);
  std::string garbage(70000, '\0');
  for (char& c : garbage) c = static_cast<char>(random() & 0xFF);
  const std::vector<std::string> bad = {garbage, Join(SlotLines("short", 50, "True", "True")), ""};
  for (const std::string& text : bad) {
    std::filesystem::remove(program / "messages.log");
    WriteTextFile(File(), text);
    TEqualizerPresetsForm form;
    EXPECT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Lines(File()).size(), 266u);
    EXPECT_EQ(form.Presets().EQPresetsArray[29].EQPresetName, "User Preset <Empty>");
  }
}

// Fuzz-style: random damage to a valid file never crashes the reader, never leaves a value
// outside 0..100, and leaves a file behind that reads cleanly.
TEST(EqualizerPresetsReader, RandomlyDamagedFilesNeverBreakIt) {
  TTempFolder folder;
  const std::string path = folder / "keldar3.eqp";
  ::setenv("KELDAR_MESSAGE_LOG", (folder / "messages.log").c_str(), 1);
  EQPresetsStructure valid;
  ResetEQPresetsValues(valid);
  const std::vector<std::string> clean = SetSavedEQPresetsStrings(valid);
  std::mt19937 random(20261209);
  const std::string alphabet = std::string("0123456789-+ TrueFals\t\r\x80\xff\x00", 26);
  for (int round = 0; round < 250; ++round) {
    std::vector<std::string> lines = clean;
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits; ++e) {
      const std::size_t at = random() % lines.size();
      switch (random() % 5) {
        case 0: lines[at].clear(); break;
        case 1: lines[at] += alphabet[random() % alphabet.size()]; break;
        case 2: lines[at] = std::to_string(static_cast<std::int64_t>(random()) * (random() % 2 ? -1 : 1) * 100000); break;
        case 3: lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at)); break;
        default: lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), std::string(random() % 300, 'x')); break;
      }
      if (lines.empty()) lines.push_back("");
    }
    WriteTextFile(path, Join(lines));
    EQPresetsStructure presets;
    ResetEQPresetsValues(presets);
    LoadEQPresetsFromFile(path, presets);
    ASSERT_EQ(presets.EQPresetsTotal, 30);
    for (const EQPresetsRecord& p : presets.EQPresetsArray)
      for (std::int32_t v : EQPresetValues(p)) ASSERT_TRUE(v >= 0 && v <= 100) << round;
    std::vector<std::string> after;
    ASSERT_TRUE(ReadListFileLines(path, after));
    // Whatever was found, what is on disk now reads cleanly: left as it was, or recreated.
    EQPresetsStructure reread;
    ResetEQPresetsValues(reread);
    ASSERT_TRUE(GetSavedEQPresetsStrings(after, reread)) << round;
  }
  ::unsetenv("KELDAR_MESSAGE_LOG");
}

}  // namespace
