// The LADSPA effects this host can run: found in the folders of LADSPA_PATH and the standard
// folders, kept to those with one or two audio inputs and as many outputs. UI thread only;
// the libraries stay loaded until Release, since running effects use their code.
#pragma once

#include <string>
#include <vector>

#include <ladspa.h>

struct TLadspaControl {
  unsigned long Port = 0;
  std::string Name;
  float Lower = 0, Upper = 1, Default = 0;
  bool Logarithmic = false, Integer = false, Toggled = false;
};

struct TLadspaEffectInfo {
  std::string Library;  // full path of the .so
  std::string Label;
  std::string Name;
  const LADSPA_Descriptor* Descriptor = nullptr;
  int AudioChannels = 0;  // 1 or 2: inputs, and as many outputs
  std::vector<unsigned long> AudioInputs, AudioOutputs;
  std::vector<TLadspaControl> Controls;
};

// The folders searched: LADSPA_PATH's entries, then ~/.ladspa and the system folders.
std::vector<std::string> LadspaFolders();

// All usable effects of every library in those folders, by library then label.
const std::vector<TLadspaEffectInfo>& LadspaEffects();
// The effect of that library (full path or file name) and label; null when unknown. Opens just
// that library when the folders were not searched yet.
const TLadspaEffectInfo* FindLadspaEffect(const std::string& library, const std::string& label);
// Bounds, default and kind of one control port, for a given sample rate.
TLadspaControl DescribeLadspaControl(const LADSPA_Descriptor& descriptor, unsigned long port, float sampleRate);
// Unloads every library (when no effect runs any more).
void ReleaseLadspaLibraries();
