// The fixed texts of the preferences' information pages and the note of "Making Skins".
#pragma once

#include <string>

inline constexpr char KELDAR_CONTACT_ADDRESS[] = "keldar@zorvane.example";

// "About", "Credits", "FAQ" or "Help"; empty for any other caption.
const char* InformationPageText(const std::string& caption);
const char* MakingSkinsNoteText();
