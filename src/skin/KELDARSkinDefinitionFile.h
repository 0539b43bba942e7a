// The skin definition file "keldarskin.ini": section [ZorvaneAudioPlayerSkin], one key per
// control (its identifier text) with eight comma-separated fields:
//   parent ordinal, enabled, direction, number of images, left, top, width, height.
// The file overrides only these eight fields; everything else comes from the catalogue.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "skin/KELDARSkinCatalogueRow.h"
#include "skin/MultimediaSkinStructure.h"

inline constexpr const char* KELDARSkinDefinitionFileName = "keldarskin.ini";
inline constexpr const char* KELDARSkinDefinitionSection = "ZorvaneAudioPlayerSkin";
// What a control missing from the file gets: enabled, parented to START, zero-sized.
inline constexpr const char* KELDARSkinDefinitionMissingValue = "0,True,False,0,0,0,0,0";

// A definition that cannot be used: the skin is broken. The loader catches it and loads
// the built-in Default skin instead.
class ESkinDefinitionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TKELDARSkinDefinitionFields {
  KELDARSkinControls_IDs Control_ParentControl = ZorvaneAudioPlayerControls_START;
  bool Control_Enabled = true;
  bool Control_Direction = false;
  std::int32_t Control_NumberOfImages = 0;
  std::int32_t Control_Left = 0;
  std::int32_t Control_Top = 0;
  std::int32_t Control_Width = 0;
  std::int32_t Control_Height = 0;
};

// Geometry read from a file is kept within these bounds so that later arithmetic on it
// cannot overflow; counts and sizes below zero read as zero.
inline constexpr std::int32_t KELDARSkinDefinitionMaxMagnitude = 65535;

// Parses one value. Fields 1 to 3 are taken as they stand (a blank makes them
// unreadable); fields 4 to 8 are trimmed. Booleans: "True"/"False" in any case, or a
// number (0 = false). Fields after the eighth are ignored. Throws ESkinDefinitionError for
// fewer than eight fields, an unreadable field or a parent outside 0..173.
TKELDARSkinDefinitionFields ParseKELDARSkinDefinitionValue(std::string_view value);
// "29,True,True,2,0,0,11,5".
std::string FormatKELDARSkinDefinitionValue(const StringIdentStructure& control);

// Reads a definition from the text of an INI file into the table (which already holds
// the family's catalogue): every control except the START/END markers. Throws
// ESkinDefinitionError; on an error the table is left unchanged.
void ReadKELDARSkinDefinition(std::string_view iniText, MultimediaSkinStructure& skin = MultimediaSkin());
// The same from a file; a file that cannot be read (or is implausibly large) is an error.
void ReadKELDARSkinDefinitionFile(const std::string& path, MultimediaSkinStructure& skin = MultimediaSkin());

// The definition of a table as the text of a new file, in identifier order.
std::string KELDARSkinDefinitionText(const MultimediaSkinStructure& skin = MultimediaSkin());
// The built-in definition of a family: its catalogue written as a definition.
std::string BuiltInKELDARSkinDefinitionText(TKELDARSkinFamily family);

// Writes the definition into the file (created when missing); its other sections and keys
// are kept. Written to a temporary name and renamed over the old file. Throws
// ESkinDefinitionError when the file cannot be read or written.
void WriteKELDARSkinDefinitionFile(const std::string& path, const MultimediaSkinStructure& skin = MultimediaSkin());
