// Converts a K-Jofol skin (a folder with a ".rc" description and its pictures) into an
// own-format skin folder: the K-Jofol catalogue placed by the description's commands, the
// standard bitmaps cut from the pictures, the grey-level slider masks, the text settings and
// the window shapes. Runs at every load of such a skin.
#pragma once
#include <string>

// source: the skin folder (or the folder a package was unpacked into; a single sub-folder
// holding the skin is found too); target: the folder that receives the converted skin.
// Sets the loaded skin's mask mode, shapes and analyzer colour, and the pressed-image aliases
// of the live control table. Throws when the converted skin cannot be written.
void ConvertKjofolSkinToKELDARSkin(const std::string& source, const std::string& target);
