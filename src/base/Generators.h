#pragma once

#include <kiv/base/Random.h>

namespace kiv {

// The generators behind RandFlt and RandInt; saved games carry their state.
extern Random FloatGenerator;
extern Random IntGenerator;

} // namespace kiv
