// The LADSPA host's settings file ("zpdsp_ladspa.ini" in the DSP plug-in folder): which
// effect runs and its control values, one "key=value" line each:
//   Library=/usr/lib/ladspa/amp.so
//   Label=amp_stereo
//   Control 0=2
// ("Control <port>" for each control port). Unknown lines are skipped.
#pragma once

#include <map>
#include <string>

struct TLadspaSettings {
  std::string Library;
  std::string Label;
  std::map<unsigned long, float> Controls;  // port -> value
};

// Reads the text; anything malformed is left out, never guessed.
TLadspaSettings ParseLadspaSettings(const std::string& text);
std::string FormatLadspaSettings(const TLadspaSettings& settings);

// The file beside the plug-in; empty settings when it cannot be read.
TLadspaSettings LoadLadspaSettingsFile(const std::string& path);
// Written to a temporary name and renamed over the old file; false on failure.
bool SaveLadspaSettingsFile(const std::string& path, const TLadspaSettings& settings);
