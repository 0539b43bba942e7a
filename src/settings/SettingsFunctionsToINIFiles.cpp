#include "settings/SettingsFunctionsToINIFiles.h"
#include "settings/OutputDeviceSetting.h"

#include <unistd.h>

#include "util/ProgramFolders.h"
#include "util/ShowMessage.h"

SettingsVariableStringRecord Options_SkinToBeLoaded;
SettingsVariableIntegerRecord Options_RedColorEnhancement;
SettingsVariableIntegerRecord Options_GreenColorEnhancement;
SettingsVariableIntegerRecord Options_BlueColorEnhancement;
SettingsVariableStringRecord Options_SongsDir;
SettingsVariableBooleanRecord Options_MinimizeToTrayState;
SettingsVariableBooleanRecord Options_StayOnTopState;
SettingsVariableBooleanRecord Options_PlaylistAddSubDirectories;
SettingsVariableBooleanRecord Options_ApplicationTitleScrolling;
SettingsVariableBooleanRecord Options_PlaylistHaltOnDefectiveFile;
SettingsVariableBooleanRecord Options_PlaylistAdvancedMode;
SettingsVariableBooleanRecord Options_ShowSplashScreen;
SettingsVariableBooleanRecord Options_EnableWideHotkeysSupport;
SettingsVariableBooleanRecord Options_ScreenSaverState;
SettingsVariableBooleanRecord Options_UsefreedbSupportState;
SettingsVariableStringRecord Options_freedbUserEmail;
SettingsVariableIntegerRecord Options_freedbLastUsedServer;
SettingsVariableIntegerRecord Options_LastUsedEncoder;
SettingsVariableStringRecord Options_EncoderOutputFile;
SettingsVariableStringRecord Options_RecordingOutputDir;
SettingsVariableStringRecord Options_CDTracksFormatting;
SettingsVariableBooleanRecord Options_EncoderConvertUseOutputDir;
SettingsVariableIntegerRecord Options_RecordingSourceInput;
SettingsVariableIntegerRecord Options_RecordingSamplingRate;
SettingsVariableIntegerRecord Options_RecordingChannels;
SettingsVariableIntegerRecord Options_DeckLeft;
SettingsVariableIntegerRecord Options_DeckTop;
SettingsVariableIntegerRecord Options_BalanceButtonCurrValue;
SettingsVariableIntegerRecord Options_PitchButtonCurrValue;
SettingsVariableIntegerRecord Options_VolumeButtonCurrValue;
SettingsVariableBooleanRecord Options_NonInterpolatedMixingState;
SettingsVariableIntegerRecord Options_DSPSamplingRate;
SettingsVariableIntegerRecord Options_CDPlaybackMethod;
SettingsVariableIntegerRecord Options_BufferLength;
SettingsVariableIntegerRecord Options_FadeIn_Out_Msecs;
SettingsVariableIntegerRecord Options_RampingMode;
SettingsVariableIntegerRecord Options_SurroundMode;
SettingsVariableIntegerRecord Options_MODPlaybackMode;
SettingsVariableIntegerRecord Options_MODPanSeperationLevel;
SettingsVariableBooleanRecord Options_RepeatButtonState;
SettingsVariableBooleanRecord Options_ShuffleButtonState;
SettingsVariableIntegerRecord Options_ShowTimeMode;
SettingsVariableIntegerRecord Options_SongArtistWindowTextEffect;
SettingsVariableIntegerRecord Options_SongTitleWindowTextEffect;
SettingsVariableIntegerRecord Options_DeckCurrentVisualEffect;
SettingsVariableBooleanRecord Options_EQVisibleState;
SettingsVariableIntegerRecord Options_EQLeft;
SettingsVariableIntegerRecord Options_EQTop;
SettingsVariableIntegerRecord Options_EQTempoButton;
SettingsVariableIntegerRecord Options_EQSampleRateButton;
SettingsVariableIntegerRecord Options_EQPreAmpButtonCurrValue;
SettingsVariableIntegerRecord Options_EQBandButton1CurrValue;
SettingsVariableIntegerRecord Options_EQBandButton2CurrValue;
SettingsVariableIntegerRecord Options_EQBandButton3CurrValue;
SettingsVariableIntegerRecord Options_EQBandButton4CurrValue;
SettingsVariableIntegerRecord Options_EQBandButton5CurrValue;
SettingsVariableIntegerRecord Options_EQBandButton6CurrValue;
SettingsVariableIntegerRecord Options_EQBandButton7CurrValue;
SettingsVariableIntegerRecord Options_EQBandButton8CurrValue;
SettingsVariableIntegerRecord Options_EQBandButton9CurrValue;
SettingsVariableIntegerRecord Options_EQBandButton10CurrValue;
SettingsVariableIntegerRecord Options_EQCurrentVisualEffect;
SettingsVariableBooleanRecord Options_EQVisualEffectsVolLevelState;
SettingsVariableBooleanRecord Options_EQOnButtonState;
SettingsVariableBooleanRecord Options_EQAutoButtonState;
SettingsVariableBooleanRecord Options_PLVisibleState;
SettingsVariableIntegerRecord Options_PLLeft;
SettingsVariableIntegerRecord Options_PLTop;
SettingsVariableIntegerRecord Options_PLWidth;
SettingsVariableIntegerRecord Options_PLHeight;
SettingsVariableIntegerRecord Options_PlayListBoxDrawMethod;
SettingsVariableBooleanRecord Options_PlayListBoxShowCounter;
SettingsVariableIntegerRecord Options_PlayListBoxCurrentSongIndex;
SettingsVariableBooleanRecord Options_VisExVisibleState;
SettingsVariableIntegerRecord Options_VisExLeft;
SettingsVariableIntegerRecord Options_VisExTop;
SettingsVariableIntegerRecord Options_VisExWidth;
SettingsVariableIntegerRecord Options_VisExHeight;
SettingsVariableBooleanRecord Options_DBVisibleState;
SettingsVariableIntegerRecord Options_DBLeft;
SettingsVariableIntegerRecord Options_DBTop;
SettingsVariableIntegerRecord Options_DBWidth;
SettingsVariableIntegerRecord Options_DBHeight;
SettingsVariableStringRecord Options_VisExCurrentPluginName;
SettingsVariableStringRecord Options_ZPDSPCurrentPluginName;
SettingsVariableBooleanRecord Options_LastZPDSPState;
SettingsVariableStringRecord Options_Lib_ColumnsOrderString;
SettingsVariableIntegerRecord Options_Lib_IndexColRecWidth;
SettingsVariableIntegerRecord Options_Lib_ArtistNameColRecWidth;
SettingsVariableIntegerRecord Options_Lib_AlbumNameColRecWidth;
SettingsVariableIntegerRecord Options_Lib_TitleNameColRecWidth;
SettingsVariableIntegerRecord Options_Lib_TitleAlbumGenreColRecWidth;
SettingsVariableIntegerRecord Options_Lib_TitleAlbumYearColRecWidth;
SettingsVariableIntegerRecord Options_Lib_TitleCDIndexColRecWidth;
SettingsVariableIntegerRecord Options_Lib_FilenameColRecWidth;
SettingsVariableIntegerRecord Options_Lib_FileExtensionColRecWidth;
SettingsVariableIntegerRecord Options_Lib_FilePlaybackLengthColRecWidth;
SettingsVariableIntegerRecord Options_Lib_FileSizeColRecWidth;
SettingsVariableIntegerRecord Options_Lib_FileDateColRecWidth;
SettingsVariableIntegerRecord Options_Lib_TitleRatingColRecWidth;
SettingsVariableIntegerRecord Options_Lib_CDDB_IDColRecWidth;
SettingsVariableIntegerRecord Options_Lib_DisplayArtWorkColRecWidth;
SettingsVariableIntegerRecord Options_Lib_FullPathAndFilenameColRecWidth;
SettingsVariableStringRecord Options_OutputDeviceName;

bool ResetToDefaultsOnExit = false;

namespace {

#define KEY(record, defaultValue) TSettingsKey(&record, #record, defaultValue)

// The record name is the key, so each key is spelled once. Options_VisExVisibleState's
// default is derived (see InitSettingsDefaults and LoadSettings); true is only its shape here.
constexpr TSettingsKey kSettingsKeys[] = {
    KEY(Options_SkinToBeLoaded, "Default"),
    KEY(Options_RedColorEnhancement, 0),
    KEY(Options_GreenColorEnhancement, 0),
    KEY(Options_BlueColorEnhancement, 0),
    KEY(Options_SongsDir, ""),
    KEY(Options_MinimizeToTrayState, false),
    KEY(Options_StayOnTopState, false),
    KEY(Options_PlaylistAddSubDirectories, true),
    KEY(Options_ApplicationTitleScrolling, false),
    KEY(Options_PlaylistHaltOnDefectiveFile, true),
    KEY(Options_PlaylistAdvancedMode, false),
    KEY(Options_ShowSplashScreen, true),
    KEY(Options_EnableWideHotkeysSupport, false),
    KEY(Options_ScreenSaverState, true),
    KEY(Options_UsefreedbSupportState, true),
    KEY(Options_freedbUserEmail, KELDAR_FREEDB_DEFAULT_EMAIL),
    KEY(Options_freedbLastUsedServer, 0),
    KEY(Options_LastUsedEncoder, 0),
    KEY(Options_EncoderOutputFile, "recordedfile"),
    KEY(Options_RecordingOutputDir, ""),
    KEY(Options_CDTracksFormatting, "%02 - %03/%09 - %02 - %01"),
    KEY(Options_EncoderConvertUseOutputDir, true),
    KEY(Options_RecordingSourceInput, 0),
    KEY(Options_RecordingSamplingRate, 44100),
    KEY(Options_RecordingChannels, 2),
    KEY(Options_DeckLeft, 100),
    KEY(Options_DeckTop, 170),
    KEY(Options_BalanceButtonCurrValue, 50),
    KEY(Options_PitchButtonCurrValue, 50),
    KEY(Options_VolumeButtonCurrValue, 78),
    KEY(Options_NonInterpolatedMixingState, false),
    KEY(Options_DSPSamplingRate, 48000),
    KEY(Options_CDPlaybackMethod, 0),
    KEY(Options_BufferLength, 500),
    KEY(Options_FadeIn_Out_Msecs, 0),
    KEY(Options_RampingMode, 1),
    KEY(Options_SurroundMode, 0),
    KEY(Options_MODPlaybackMode, 0),
    KEY(Options_MODPanSeperationLevel, 50),
    KEY(Options_RepeatButtonState, false),
    KEY(Options_ShuffleButtonState, false),
    KEY(Options_ShowTimeMode, 0),
    KEY(Options_SongArtistWindowTextEffect, 1),
    KEY(Options_SongTitleWindowTextEffect, 1),
    KEY(Options_DeckCurrentVisualEffect, 7),
    KEY(Options_EQVisibleState, true),
    KEY(Options_EQLeft, 400),
    KEY(Options_EQTop, 170),
    KEY(Options_EQTempoButton, 50),
    KEY(Options_EQSampleRateButton, 50),
    KEY(Options_EQPreAmpButtonCurrValue, 50),
    KEY(Options_EQBandButton1CurrValue, 50),
    KEY(Options_EQBandButton2CurrValue, 50),
    KEY(Options_EQBandButton3CurrValue, 50),
    KEY(Options_EQBandButton4CurrValue, 50),
    KEY(Options_EQBandButton5CurrValue, 50),
    KEY(Options_EQBandButton6CurrValue, 50),
    KEY(Options_EQBandButton7CurrValue, 50),
    KEY(Options_EQBandButton8CurrValue, 50),
    KEY(Options_EQBandButton9CurrValue, 50),
    KEY(Options_EQBandButton10CurrValue, 50),
    KEY(Options_EQCurrentVisualEffect, 7),
    KEY(Options_EQVisualEffectsVolLevelState, true),
    KEY(Options_EQOnButtonState, false),
    KEY(Options_EQAutoButtonState, false),
    KEY(Options_PLVisibleState, true),
    KEY(Options_PLLeft, 100),
    KEY(Options_PLTop, 300),
    KEY(Options_PLWidth, 300),
    KEY(Options_PLHeight, 130),
    KEY(Options_PlayListBoxDrawMethod, 2),
    KEY(Options_PlayListBoxShowCounter, true),
    KEY(Options_PlayListBoxCurrentSongIndex, 0),
    KEY(Options_VisExVisibleState, true),
    KEY(Options_VisExLeft, 400),
    KEY(Options_VisExTop, 300),
    KEY(Options_VisExWidth, 300),
    KEY(Options_VisExHeight, 130),
    KEY(Options_DBVisibleState, true),
    KEY(Options_DBLeft, 100),
    KEY(Options_DBTop, 430),
    KEY(Options_DBWidth, 600),
    KEY(Options_DBHeight, 260),
    KEY(Options_VisExCurrentPluginName, "default/SoniqueVisTemplates.svp"),
    KEY(Options_ZPDSPCurrentPluginName, "None"),
    KEY(Options_LastZPDSPState, false),
    KEY(Options_Lib_ColumnsOrderString, "14,1,2,3,9,4,5,6,7,8,10,11,12,13,15,"),
    KEY(Options_Lib_IndexColRecWidth, 48),
    KEY(Options_Lib_ArtistNameColRecWidth, 98),
    KEY(Options_Lib_AlbumNameColRecWidth, 95),
    KEY(Options_Lib_TitleNameColRecWidth, 140),
    KEY(Options_Lib_TitleAlbumGenreColRecWidth, -1),
    KEY(Options_Lib_TitleAlbumYearColRecWidth, -1),
    KEY(Options_Lib_TitleCDIndexColRecWidth, -1),
    KEY(Options_Lib_FilenameColRecWidth, -1),
    KEY(Options_Lib_FileExtensionColRecWidth, -1),
    KEY(Options_Lib_FilePlaybackLengthColRecWidth, 43),
    KEY(Options_Lib_FileSizeColRecWidth, -1),
    KEY(Options_Lib_FileDateColRecWidth, -1),
    KEY(Options_Lib_TitleRatingColRecWidth, -1),
    KEY(Options_Lib_CDDB_IDColRecWidth, -1),
    KEY(Options_Lib_DisplayArtWorkColRecWidth, 119),
    KEY(Options_Lib_FullPathAndFilenameColRecWidth, -1),
    // Our own addition, last so the keys before it keep their places: the output device by
    // name, empty for the default device.
    KEY(Options_OutputDeviceName, ""),
};

#undef KEY

template <class... Ts>
struct Overloaded : Ts... {
  using Ts::operator()...;
};
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

void ReportFailure(const std::string& text) {
  ShowMessage(text, {}, TMessageIcon::Error);
}

// The values that must make sense before anyone uses them; the rest is taken as stored.
void CorrectAfterRead(const TSettingsRecordPointer& record) {
  if (record == TSettingsRecordPointer(&Options_RecordingOutputDir)) {
    if (Options_RecordingOutputDir.StringValue.empty())
      Options_RecordingOutputDir.StringValue =
          IncludeTrailingPathDelimiter(ProgramFolder()) + "recordedfiles";
  } else if (record == TSettingsRecordPointer(&Options_RecordingSamplingRate)) {
    if (Options_RecordingSamplingRate.IntegerValue <= 0)
      Options_RecordingSamplingRate.IntegerValue = 44100;
  } else if (record == TSettingsRecordPointer(&Options_RecordingChannels)) {
    if (Options_RecordingChannels.IntegerValue <= 0) Options_RecordingChannels.IntegerValue = 2;
  } else if (record == TSettingsRecordPointer(&Options_DSPSamplingRate)) {
    if (Options_DSPSamplingRate.IntegerValue <= 0) Options_DSPSamplingRate.IntegerValue = 48000;
  } else if (record == TSettingsRecordPointer(&Options_BufferLength)) {
    if (Options_BufferLength.IntegerValue < 500) Options_BufferLength.IntegerValue = 500;
  }
}

// Without a stored value the visuals window shows when either the main window's or the
// equalizer's visual effect is the mode that uses it; a stored value always wins.
void ReadVisExVisibleState(const TProfileIniFile& file) {
  SettingsVariableBooleanRecord& record = Options_VisExVisibleState;
  record.DefaultBooleanValue = Options_DeckCurrentVisualEffect.IntegerValue == 7;
  ReadBooleanSetting(file, record);
  if (!record.BooleanValue) {
    record.DefaultBooleanValue = Options_EQCurrentVisualEffect.IntegerValue == 7;
    ReadBooleanSetting(file, record);
  }
}

}  // namespace

std::span<const TSettingsKey> SettingsKeyTable() { return kSettingsKeys; }

std::string SettingsFilePath() { return ChangeFileExt(ProgramFilePath(), ".ini"); }

void InitSettingsDefaults() {
  for (const TSettingsKey& key : kSettingsKeys) {
    std::visit(Overloaded{
                   [&](SettingsVariableStringRecord* r) {
                     r->DefaultStringValue = std::get<const char*>(key.Default);
                     r->StringValue = r->DefaultStringValue;
                     r->Section = kSettingsSection;
                     r->Ident = key.Ident;
                   },
                   [&](SettingsVariableIntegerRecord* r) {
                     r->DefaultIntegerValue = std::get<std::int32_t>(key.Default);
                     r->IntegerValue = r->DefaultIntegerValue;
                     r->Section = kSettingsSection;
                     r->Ident = key.Ident;
                   },
                   [&](SettingsVariableBooleanRecord* r) {
                     r->DefaultBooleanValue = std::get<bool>(key.Default);
                     // Follows the main window's visual effect, initialised earlier in the table.
                     if (r == &Options_VisExVisibleState)
                       r->DefaultBooleanValue = Options_DeckCurrentVisualEffect.IntegerValue == 7;
                     r->BooleanValue = r->DefaultBooleanValue;
                     r->Section = kSettingsSection;
                     r->Ident = key.Ident;
                   },
               },
               key.Record);
  }
}

std::unique_ptr<TProfileIniFile> OpenSettingsFile(const std::string& path) {
  try {
    auto file = std::make_unique<TProfileIniFile>(path);
    if (file->Load()) return file;
  } catch (...) {
  }
  ReportFailure("Open_File Error: " + path);
  return nullptr;
}

bool CloseSettingsFile(TProfileIniFile& file) {
  bool ok = false;
  try {
    ok = file.Close();
  } catch (...) {
  }
  if (!ok) ReportFailure("Close_File Error: " + file.Path());
  return ok;
}

bool ReadStringSetting(const TProfileIniFile& file, SettingsVariableStringRecord& record) {
  try {
    record.StringValue = file.ReadString(record.Section, record.Ident, record.DefaultStringValue);
    return true;
  } catch (...) {
    ReportFailure("Read String Error: " + record.Section + "," + record.Ident);
    return false;
  }
}

bool ReadIntegerSetting(const TProfileIniFile& file, SettingsVariableIntegerRecord& record) {
  try {
    record.IntegerValue =
        file.ReadInteger(record.Section, record.Ident, record.DefaultIntegerValue);
    return true;
  } catch (...) {
    ReportFailure("Read Integer Error: " + record.Section + "," + record.Ident);
    return false;
  }
}

bool ReadBooleanSetting(const TProfileIniFile& file, SettingsVariableBooleanRecord& record) {
  try {
    record.BooleanValue = file.ReadBool(record.Section, record.Ident, record.DefaultBooleanValue);
    return true;
  } catch (...) {
    ReportFailure("Read Boolean Error: " + record.Section + "," + record.Ident);
    return false;
  }
}

bool WriteStringSetting(TProfileIniFile& file, const SettingsVariableStringRecord& record) {
  bool ok = false;
  try {
    ok = file.WriteString(record.Section, record.Ident, record.StringValue);
  } catch (...) {
  }
  if (!ok) ReportFailure("Write String Error: " + record.Section + "," + record.Ident);
  return ok;
}

bool WriteIntegerSetting(TProfileIniFile& file, const SettingsVariableIntegerRecord& record) {
  bool ok = false;
  try {
    ok = file.WriteInteger(record.Section, record.Ident, record.IntegerValue);
  } catch (...) {
  }
  if (!ok) ReportFailure("Write Integer Error: " + record.Section + "," + record.Ident);
  return ok;
}

bool WriteBooleanSetting(TProfileIniFile& file, const SettingsVariableBooleanRecord& record) {
  bool ok = false;
  try {
    ok = file.WriteBool(record.Section, record.Ident, record.BooleanValue);
  } catch (...) {
  }
  if (!ok) ReportFailure("Write Boolean Error: " + record.Section + "," + record.Ident);
  return ok;
}

void LoadSettings() {
  std::unique_ptr<TProfileIniFile> file = OpenSettingsFile(SettingsFilePath());
  if (!file) return;
  for (const TSettingsKey& key : kSettingsKeys) {
    std::visit(Overloaded{
                   [&](SettingsVariableStringRecord* r) { ReadStringSetting(*file, *r); },
                   [&](SettingsVariableIntegerRecord* r) { ReadIntegerSetting(*file, *r); },
                   [&](SettingsVariableBooleanRecord* r) {
                     if (r == &Options_VisExVisibleState)
                       ReadVisExVisibleState(*file);
                     else
                       ReadBooleanSetting(*file, *r);
                   },
               },
               key.Record);
    CorrectAfterRead(key.Record);
  }
  CloseSettingsFile(*file);
}

void SaveSettings() {
  std::string path;
  try {
    path = SettingsFilePath();
    std::unique_ptr<TProfileIniFile> file = OpenSettingsFile(path);
    if (!file) return;
    for (const TSettingsKey& key : kSettingsKeys) {
      std::visit(Overloaded{
                     [&](SettingsVariableStringRecord* r) { WriteStringSetting(*file, *r); },
                     [&](SettingsVariableIntegerRecord* r) { WriteIntegerSetting(*file, *r); },
                     [&](SettingsVariableBooleanRecord* r) { WriteBooleanSetting(*file, *r); },
                 },
                 key.Record);
    }
    CloseSettingsFile(*file);
  } catch (...) {
    ReportFailure("Saving " + path + " Failed...");
  }
}

bool ReadSplashScreenSetting() {
  if (std::unique_ptr<TProfileIniFile> file = OpenSettingsFile(SettingsFilePath())) {
    ReadBooleanSetting(*file, Options_ShowSplashScreen);
    CloseSettingsFile(*file);
  }
  return Options_ShowSplashScreen.BooleanValue;
}

bool DeleteSettingsFile() {
  const std::string path = SettingsFilePath();
  if (::unlink(path.c_str()) == 0) return true;
  return ::access(path.c_str(), F_OK) != 0;
}
