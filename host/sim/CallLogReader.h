#pragma once

#include <optional>
#include <string_view>

#include "sdk/SdkExport.h"
#include "sdk/Vector.h"

namespace sim {

// Reading the call log back (see LogLine for how it is written).

// The world point of a logged "ProjectF X Y Z" line, exactly as the plugin
// handed it over (%.9g reads back every float, not-a-number and infinities
// included); nothing for any other line.
PLUGINSDK_API std::optional<Vector> ProjectedPoint(std::string_view line);

} // namespace sim
