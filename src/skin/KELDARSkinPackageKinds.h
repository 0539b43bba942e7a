// What a skin path points to, and the names remembered for it.
#pragma once
#include <cstdint>
#include <string>

enum SkinPackageKinds : std::uint8_t {
  skKeldarFolder = 0,
  skKeldarPackage = 1,
  skWinampFolder = 2,
  skWinampPackage = 3,
  skKjofolFolder = 4,
  skKjofolPackage = 5,
  skUnknown = 6,
};

SkinPackageKinds DetectKELDARSkinPackageKind(const std::string& fullPath);
// The skins folder beside the program, with a trailing separator.
std::string KELDARSkinsFolder();
// Removes / restores the skins-folder prefix; "Default" is never prefixed.
std::string KELDARSkinRelativeName(const std::string& fullPath);
std::string KELDARSkinFullName(const std::string& relativeName);
// The name remembered for a loaded skin of this kind (relative, see the loader).
std::string KELDARSkinRememberedName(const std::string& fullPath, SkinPackageKinds kind);
// Case-insensitive search helpers shared by the loader.
bool ContainsNoCase(const std::string& text, const std::string& part);
bool EndsWithNoCase(const std::string& text, const std::string& tail);
