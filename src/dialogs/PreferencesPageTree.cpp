#include "dialogs/PreferencesPageTree.h"

namespace {

constexpr TPreferencesPageNode kTree[] = {
    {"About", 0},
    {"Information", 0},
    {"What's New", 1},
    {"Credits", 1},
    {"FAQ", 1},
    {"Skins", 0},
    {"Plugins", 0},
    {"VIS Plugins", 1},
    {"DSP Plugins", 1},
    {"Generic Plugins", 1},
    {"Options", 0},
    {"General Options", 1},
    {"Audio Library Options", 1},
    {"Encoders Options", 1},
    {"freedb Options", 1},
    {"Utilities", 1},
    {"Extensions", 1},
    {"Help", 0},
};

constexpr const char* kNotebookPages[] = {
    "About",          "What's New",       "Credits",
    "FAQ",            "Skins",            "VIS Plugins",
    "DSP Plugins",    "Generic Plugins",  "General Options",
    "Audio Library Options", "Encoders Options", "freedb Options",
    "Utilities",      "Extensions",       "Recorded Files",
    "Help",
};

}  // namespace

std::span<const TPreferencesPageNode> PreferencesPageTree() { return kTree; }

std::span<const char* const> PreferencesNotebookPages() { return kNotebookPages; }
