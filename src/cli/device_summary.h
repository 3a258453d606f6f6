#pragma once

#include "cli/library_listing.h"

namespace pelmar {
class SystemVolumes;
}

namespace pelmar::cli {

// What the Device Information page shows, and how much the player holds.
void printDeviceSummary(OutputBuffer& out, const PlayerLibrary& library,
                        const SystemVolumes& system, Format format);

}  // namespace pelmar::cli
