#include "audio/Config.h"

namespace kaudio {

Config& GetConfig() {
  static Config config;
  return config;
}

}  // namespace kaudio
