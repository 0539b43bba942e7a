// Converts a classic Winamp skin (a folder of its bitmaps and text files) into a complete
// own-format skin folder: the Winamp catalogue's definition, the 28 standard bitmaps
// assembled from the Winamp pictures and the text settings. Files missing from the skin
// come from the "winampdefault" skin beside the program. Runs at every load of such a skin.
#pragma once
#include <string>

// The fallback folder "skins/winampdefault" beside the program (no trailing separator).
std::string WinampDefaultSkinFolder();
// source: the Winamp folder (or the folder a package was unpacked into; a single sub-folder
// holding the skin is found too); target: the folder that receives the converted skin.
// Throws when the converted skin cannot be written.
void ConvertWinampSkinToKELDARSkin(const std::string& source, const std::string& target);
