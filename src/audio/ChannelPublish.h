// Turning a source into a channel with a handle, for every kind of channel creation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "audio/ChannelSource.h"

namespace kaudio {

// Registers a new channel around src and returns its handle (error code cleared).
uint32_t PublishChannel(std::unique_ptr<ChannelSource> src, uint32_t flags, uint32_t ctype,
                        const std::string& name, uint32_t plugin);

}  // namespace kaudio
