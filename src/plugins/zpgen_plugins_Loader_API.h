// The host operations on the general plug-ins that start-up, exit and the preferences page
// "Generic Plugins" call. UI thread only.
#pragma once

#include <string>
#include <vector>

// Loads every zpgen_*.so of the "genplugins" folders (the program's, then the bundled ones; name
// order within each) and initializes each with the program's "genplugins" folder.
void StartGENPlugins();
// Closes and releases them all, last loaded first.
void StopGENPlugins();

// ---- the preferences page ----
// One line per loaded plug-in: its path after "genplugins/".
std::vector<std::string> GENPluginLines();
std::string GENPluginsGroupCaption();  // "Available Generic Plugins: " + count
void ConfigureGENPlugin(int index);
