// The preferences dialog's pages: the tree its left side shows (and the main pop-up menu
// mirrors) and the order of its notebook pages.
#pragma once

#include <span>

struct TPreferencesPageNode {
  const char* Caption;
  int Level;  // 0 top level, 1 below the top-level node before it
};

// About; Information (What's New, Credits, FAQ); Skins; Plugins (VIS, DSP, Generic Plugins);
// Options (General, Audio Library, Encoders, freedb Options, Utilities, Extensions); Help.
std::span<const TPreferencesPageNode> PreferencesPageTree();

// The notebook's pages in order; a tree node's caption names its page.
std::span<const char* const> PreferencesNotebookPages();
