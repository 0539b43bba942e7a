// The settings store: one process-wide typed record per settings key, and the functions that
// fill them from the settings file beside the program and write them back.
//
// Every other part of the program reads and writes the live values (StringValue,
// IntegerValue, BooleanValue) of these records directly; only this unit touches the file.
// Main thread only. InitSettingsDefaults runs once before anything else uses the records.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <variant>

#include "settings/ProfileIniFile.h"

struct SettingsVariableStringRecord {
  std::string Section;
  std::string Ident;
  std::string DefaultStringValue;
  std::string StringValue;
};

struct SettingsVariableIntegerRecord {
  std::string Section;
  std::string Ident;
  std::int32_t DefaultIntegerValue = 0;
  std::int32_t IntegerValue = 0;
};

struct SettingsVariableBooleanRecord {
  std::string Section;
  std::string Ident;
  bool DefaultBooleanValue = false;
  bool BooleanValue = false;
};

// The one section that holds every key.
inline constexpr const char* kSettingsSection = "Settings";

// --- The records, in the order they are initialised, read and written ---
extern SettingsVariableStringRecord Options_SkinToBeLoaded;
extern SettingsVariableIntegerRecord Options_RedColorEnhancement;
extern SettingsVariableIntegerRecord Options_GreenColorEnhancement;
extern SettingsVariableIntegerRecord Options_BlueColorEnhancement;
extern SettingsVariableStringRecord Options_SongsDir;
extern SettingsVariableBooleanRecord Options_MinimizeToTrayState;
extern SettingsVariableBooleanRecord Options_StayOnTopState;
extern SettingsVariableBooleanRecord Options_PlaylistAddSubDirectories;
extern SettingsVariableBooleanRecord Options_ApplicationTitleScrolling;
extern SettingsVariableBooleanRecord Options_PlaylistHaltOnDefectiveFile;
extern SettingsVariableBooleanRecord Options_PlaylistAdvancedMode;
extern SettingsVariableBooleanRecord Options_ShowSplashScreen;
extern SettingsVariableBooleanRecord Options_EnableWideHotkeysSupport;
extern SettingsVariableBooleanRecord Options_ScreenSaverState;
extern SettingsVariableBooleanRecord Options_UsefreedbSupportState;
extern SettingsVariableStringRecord Options_freedbUserEmail;
// The default submission address: ours, and without "@", so the user is asked for a real one.
inline constexpr char KELDAR_FREEDB_DEFAULT_EMAIL[] = "freedb-user.zorvane.example";
extern SettingsVariableIntegerRecord Options_freedbLastUsedServer;
extern SettingsVariableIntegerRecord Options_LastUsedEncoder;
extern SettingsVariableStringRecord Options_EncoderOutputFile;
extern SettingsVariableStringRecord Options_RecordingOutputDir;
extern SettingsVariableStringRecord Options_CDTracksFormatting;
extern SettingsVariableBooleanRecord Options_EncoderConvertUseOutputDir;
extern SettingsVariableIntegerRecord Options_RecordingSourceInput;
extern SettingsVariableIntegerRecord Options_RecordingSamplingRate;
extern SettingsVariableIntegerRecord Options_RecordingChannels;
extern SettingsVariableIntegerRecord Options_DeckLeft;
extern SettingsVariableIntegerRecord Options_DeckTop;
extern SettingsVariableIntegerRecord Options_BalanceButtonCurrValue;
extern SettingsVariableIntegerRecord Options_PitchButtonCurrValue;
extern SettingsVariableIntegerRecord Options_VolumeButtonCurrValue;
extern SettingsVariableBooleanRecord Options_NonInterpolatedMixingState;
extern SettingsVariableIntegerRecord Options_DSPSamplingRate;
extern SettingsVariableIntegerRecord Options_CDPlaybackMethod;
extern SettingsVariableIntegerRecord Options_BufferLength;
extern SettingsVariableIntegerRecord Options_FadeIn_Out_Msecs;
extern SettingsVariableIntegerRecord Options_RampingMode;
extern SettingsVariableIntegerRecord Options_SurroundMode;
extern SettingsVariableIntegerRecord Options_MODPlaybackMode;
extern SettingsVariableIntegerRecord Options_MODPanSeperationLevel;
extern SettingsVariableBooleanRecord Options_RepeatButtonState;
extern SettingsVariableBooleanRecord Options_ShuffleButtonState;
extern SettingsVariableIntegerRecord Options_ShowTimeMode;
extern SettingsVariableIntegerRecord Options_SongArtistWindowTextEffect;
extern SettingsVariableIntegerRecord Options_SongTitleWindowTextEffect;
extern SettingsVariableIntegerRecord Options_DeckCurrentVisualEffect;
extern SettingsVariableBooleanRecord Options_EQVisibleState;
extern SettingsVariableIntegerRecord Options_EQLeft;
extern SettingsVariableIntegerRecord Options_EQTop;
extern SettingsVariableIntegerRecord Options_EQTempoButton;
extern SettingsVariableIntegerRecord Options_EQSampleRateButton;
extern SettingsVariableIntegerRecord Options_EQPreAmpButtonCurrValue;
extern SettingsVariableIntegerRecord Options_EQBandButton1CurrValue;
extern SettingsVariableIntegerRecord Options_EQBandButton2CurrValue;
extern SettingsVariableIntegerRecord Options_EQBandButton3CurrValue;
extern SettingsVariableIntegerRecord Options_EQBandButton4CurrValue;
extern SettingsVariableIntegerRecord Options_EQBandButton5CurrValue;
extern SettingsVariableIntegerRecord Options_EQBandButton6CurrValue;
extern SettingsVariableIntegerRecord Options_EQBandButton7CurrValue;
extern SettingsVariableIntegerRecord Options_EQBandButton8CurrValue;
extern SettingsVariableIntegerRecord Options_EQBandButton9CurrValue;
extern SettingsVariableIntegerRecord Options_EQBandButton10CurrValue;
extern SettingsVariableIntegerRecord Options_EQCurrentVisualEffect;
extern SettingsVariableBooleanRecord Options_EQVisualEffectsVolLevelState;
extern SettingsVariableBooleanRecord Options_EQOnButtonState;
extern SettingsVariableBooleanRecord Options_EQAutoButtonState;
extern SettingsVariableBooleanRecord Options_PLVisibleState;
extern SettingsVariableIntegerRecord Options_PLLeft;
extern SettingsVariableIntegerRecord Options_PLTop;
extern SettingsVariableIntegerRecord Options_PLWidth;
extern SettingsVariableIntegerRecord Options_PLHeight;
extern SettingsVariableIntegerRecord Options_PlayListBoxDrawMethod;
extern SettingsVariableBooleanRecord Options_PlayListBoxShowCounter;
extern SettingsVariableIntegerRecord Options_PlayListBoxCurrentSongIndex;
extern SettingsVariableBooleanRecord Options_VisExVisibleState;
extern SettingsVariableIntegerRecord Options_VisExLeft;
extern SettingsVariableIntegerRecord Options_VisExTop;
extern SettingsVariableIntegerRecord Options_VisExWidth;
extern SettingsVariableIntegerRecord Options_VisExHeight;
extern SettingsVariableBooleanRecord Options_DBVisibleState;
extern SettingsVariableIntegerRecord Options_DBLeft;
extern SettingsVariableIntegerRecord Options_DBTop;
extern SettingsVariableIntegerRecord Options_DBWidth;
extern SettingsVariableIntegerRecord Options_DBHeight;
extern SettingsVariableStringRecord Options_VisExCurrentPluginName;
extern SettingsVariableStringRecord Options_ZPDSPCurrentPluginName;
extern SettingsVariableBooleanRecord Options_LastZPDSPState;
extern SettingsVariableStringRecord Options_Lib_ColumnsOrderString;
extern SettingsVariableIntegerRecord Options_Lib_IndexColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_ArtistNameColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_AlbumNameColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_TitleNameColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_TitleAlbumGenreColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_TitleAlbumYearColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_TitleCDIndexColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_FilenameColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_FileExtensionColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_FilePlaybackLengthColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_FileSizeColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_FileDateColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_TitleRatingColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_CDDB_IDColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_DisplayArtWorkColRecWidth;
extern SettingsVariableIntegerRecord Options_Lib_FullPathAndFilenameColRecWidth;

// Set by the preferences' reset after the user confirmed; the exit sequence then deletes the
// settings file (DeleteSettingsFile) after saving, so the next start uses the defaults.
extern bool ResetToDefaultsOnExit;

// --- The key table: one row per record, in file order ---
using TSettingsRecordPointer =
    std::variant<SettingsVariableStringRecord*, SettingsVariableIntegerRecord*,
                 SettingsVariableBooleanRecord*>;
using TSettingsDefaultValue = std::variant<const char*, std::int32_t, bool>;

struct TSettingsKey {
  TSettingsRecordPointer Record;
  const char* Ident;
  TSettingsDefaultValue Default;

  // One constructor per record type, so a row's default always has its record's type.
  constexpr TSettingsKey(SettingsVariableStringRecord* record, const char* ident,
                         const char* defaultValue)
      : Record(record), Ident(ident), Default(defaultValue) {}
  constexpr TSettingsKey(SettingsVariableIntegerRecord* record, const char* ident,
                         std::int32_t defaultValue)
      : Record(record), Ident(ident), Default(defaultValue) {}
  constexpr TSettingsKey(SettingsVariableBooleanRecord* record, const char* ident,
                         bool defaultValue)
      : Record(record), Ident(ident), Default(defaultValue) {}
};

// All 104 keys in file order (the last one, the output device, in OutputDeviceSetting.h).
std::span<const TSettingsKey> SettingsKeyTable();

// --- Whole-file operations ---
// The program's path with its extension replaced by ".ini".
std::string SettingsFilePath();
// Every record gets section, key and default, and its value := default.
void InitSettingsDefaults();
// Reads every key in table order and applies the corrections that follow some reads.
void LoadSettings();
// Writes every key in table order.
void SaveSettings();
// Reads Options_ShowSplashScreen alone (before the full load) and returns it.
bool ReadSplashScreenSetting();
// Removes the settings file for a reset to defaults; silent, false when it is still there.
bool DeleteSettingsFile();

// --- Per-file and per-key helpers; each reports its own failure to the user ---
// Null after "Open_File Error: " + path.
std::unique_ptr<TProfileIniFile> OpenSettingsFile(const std::string& path);
// Puts pending writes on disk; false after "Close_File Error: " + path.
bool CloseSettingsFile(TProfileIniFile& file);

// Set the value from the file, the record's default standing in for a missing or bad value.
bool ReadStringSetting(const TProfileIniFile& file, SettingsVariableStringRecord& record);
bool ReadIntegerSetting(const TProfileIniFile& file, SettingsVariableIntegerRecord& record);
bool ReadBooleanSetting(const TProfileIniFile& file, SettingsVariableBooleanRecord& record);
// Write the current value.
bool WriteStringSetting(TProfileIniFile& file, const SettingsVariableStringRecord& record);
bool WriteIntegerSetting(TProfileIniFile& file, const SettingsVariableIntegerRecord& record);
bool WriteBooleanSetting(TProfileIniFile& file, const SettingsVariableBooleanRecord& record);
