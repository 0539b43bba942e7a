// The description file (".rc") of a K-Jofol skin read into the fixed command table: one row
// per known keyword, holding the parameters of the last line that named it.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/KELDARSkinControls_IDs.h"

enum KJOFOL_SkinCommandStructure : std::uint8_t {
  csFontStructure = 0,
  csPosSliderStructure = 1,
  csSliderStructure = 2,
  csSliderImageXSizeStructure = 3,
  csSliderImageNbStructure = 4,
  csButtonStructure = 5,
  csTextWindowStructure = 6,
  csFontSizeStructure = 7,
  csFontTransparentStructure = 8,
  csEqualizerBandImagesLeftTopStructure = 9,
  csEqualizerBandImagesWidthAndNumImagesStructure = 10,
  csEqualizerAnalyzerColorStructure = 11,
  csPlaylistListBoxStructure = 12,
  csNullStructure = 13,
};

struct KJOFOL_SkinCommandRecord {
  std::string CommandString;
  KJOFOL_SkinCommandStructure CommandStructure = csNullStructure;
  KELDARSkinControls_IDs KELDARSkinAffectedControl = Form_NullControl;
  std::string CommandParameters;
  std::int32_t ParamsNum = 0;  // "About": the lines collected so far
  std::array<std::string, 7> ParamsArray;
};

inline constexpr std::size_t KjofolSkinCommandCount = 103;
using TKjofolSkinCommandTable = std::array<KJOFOL_SkinCommandRecord, KjofolSkinCommandCount>;

// The table with every parameter empty.
TKjofolSkinCommandTable NewKjofolSkinCommandTable();
// Fills a fresh table from the lines of a description (after includes).
TKjofolSkinCommandTable ParseKjofolSkinDescription(const std::vector<std::string>& lines);
// The row of a keyword (compared ignoring case); null for an unknown keyword.
const KJOFOL_SkinCommandRecord* FindKjofolSkinCommand(const TKjofolSkinCommandTable& table, std::string_view keyword);

// Limits that keep a hostile description bounded in time and memory.
inline constexpr std::size_t KjofolMaxDescriptionBytes = 8 * 1024 * 1024;
inline constexpr std::size_t KjofolMaxLineLength = 4096;
inline constexpr std::size_t KjofolMaxLines = 200000;

// Text split into lines (CR LF or LF), each cut to the line limit, at most the line limit.
void AppendKjofolLines(std::string_view text, std::vector<std::string>& lines);
// The lines of the description in the folder with its include files appended (files are
// found ignoring case; only the description's own lines are searched for includes).
std::vector<std::string> ReadKjofolSkinDescriptionLines(const std::string& rcPath);
