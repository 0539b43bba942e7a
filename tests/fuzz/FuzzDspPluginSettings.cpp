// The settings files of the bundled DSP plug-ins (LADSPA host, crossfeed): whatever they hold,
// what is read is well-formed (finite control values, a known level) and reads back the same
// after writing.
#include <cmath>
#include <cstdlib>

#include "FuzzInput.h"
#include "zpdsp_crossfeed/CrossfeedLevels.h"
#include "zpdsp_ladspa/LadspaSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);
  const TLadspaSettings settings = ParseLadspaSettings(text);
  if (settings.Controls.size() > 256) std::abort();
  for (const auto& [port, value] : settings.Controls)
    if (!std::isfinite(value)) std::abort();
  const TLadspaSettings again = ParseLadspaSettings(FormatLadspaSettings(settings));
  if (again.Library != settings.Library || again.Label != settings.Label || again.Controls != settings.Controls)
    std::abort();

  const int level = ParseCrossfeedSettings(text);
  if (level < 0 || level >= kCrossfeedLevelCount) std::abort();
  if (ParseCrossfeedSettings(FormatCrossfeedSettings(level)) != level) std::abort();
  return 0;
}
