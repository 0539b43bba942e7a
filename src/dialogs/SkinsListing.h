// The skins the "Skins" page lists: by format, from the skins folder of the program (and the
// bundled ones beside the executable), each with its type text and readme.
#pragma once

#include <string>
#include <vector>

enum class TSkinFormatChoice { Keldar = 0, Winamp = 1, Kjofol = 2, All = 3 };

struct TListedSkin {
  std::string Name;      // as listed
  std::string FullPath;  // what the loader is given ("Default" for the built-in skin)
};

// "Default" first, then the skins of the format, sorted by name within each folder:
// Keldar: "*.KSK" and folders with "keldarskin.ini"; Winamp: "*.WSZ" and folders with
// "MAIN.BMP"; Kjofol: "*.ZIP" and "*.RC" (also one folder down); All: all of these.
std::vector<TListedSkin> ListSkins(TSkinFormatChoice format);

// "KELDAR Skin", "KELDAR Compressed Skin", "Winamp Skin", ... or "Unknown Skin Type".
std::string SkinTypeText(const std::string& fullPath);

// The "readme.txt" of a skin folder (any case), at most 64 KB; empty when there is none.
std::string SkinFolderReadme(const std::string& folder);
