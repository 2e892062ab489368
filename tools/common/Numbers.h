#pragma once

#include "Layout.h"

namespace kiv::tools {

// Floating-point values in JSON. The numbers JSON has no form for are written as texts that
// keep their exact bits: "NaN", "Infinity", "-Infinity", and "NaN:0x7FA00001" (the bits in
// hexadecimal) for a NaN other than the usual one, so that a dump compiles back to the same
// bytes.
Json JsonOfFloat(float f);
Json JsonOfDouble(double d);
// False when `v` is neither a number nor one of those texts. A number beyond the range of a
// float is refused too.
bool FloatOfJson(const Json& v, float& out);
bool DoubleOfJson(const Json& v, double& out);

} // namespace kiv::tools
