#pragma once

#include "Layout.h"

#include <string>
#include <vector>

namespace kiv::tools {

// What the records of a description refer to that does not exist, each with the JSON path
// of the reference: map, alarm, sound and actor names and numbers, state machines, timers,
// path state machines and movement patterns by index, states and stations within their
// machines; and names given twice in one level, which look-ups by name cannot tell apart.
// The description must have compiled (its values have their types).
std::vector<std::string> CrossReferenceProblems(const Json& description);

} // namespace kiv::tools
