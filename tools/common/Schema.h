#pragma once

#include "Layout.h"

namespace kiv::tools {

// A JSON Schema (draft 7) of the game description, made from the same record layouts that
// kivc compiles, so that editors check and complete descriptions as kivc reads them.
Json GameSchema();

} // namespace kiv::tools
