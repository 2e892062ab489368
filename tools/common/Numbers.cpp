#include "Numbers.h"

#include <cfloat>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace kiv::tools {

namespace {

constexpr std::uint32_t QuietFloatNaN = 0x7FC00000u;
constexpr std::uint64_t QuietDoubleNaN = 0x7FF8000000000000ull;

template <class Bits, class Real>
Bits BitsOf(Real r) {
    Bits b;
    std::memcpy(&b, &r, sizeof b);
    return b;
}

template <class Real, class Bits>
Real RealOf(Bits b) {
    Real r;
    std::memcpy(&r, &b, sizeof r);
    return r;
}

template <class Real, class Bits>
Json Special(Real r, Bits quietNaN) {
    if (std::isinf(r))
        return r > 0 ? "Infinity" : "-Infinity";
    Bits bits = BitsOf<Bits>(r);
    if (bits == quietNaN)
        return "NaN";
    char text[32];
    std::snprintf(text, sizeof text, "NaN:0x%0*" PRIX64, static_cast<int>(2 * sizeof(Bits)),
                  static_cast<std::uint64_t>(bits));
    return text;
}

// The value of a text written by Special; false for any other text.
template <class Real, class Bits>
bool SpecialOf(const std::string& text, Bits quietNaN, Real& out) {
    if (text == "Infinity" || text == "-Infinity") {
        out = text[0] == '-' ? -std::numeric_limits<Real>::infinity()
                             : std::numeric_limits<Real>::infinity();
        return true;
    }
    if (text == "NaN") {
        out = RealOf<Real>(quietNaN);
        return true;
    }
    unsigned long long bits = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "NaN:0x%llx%n", &bits, &used) != 1 ||
        static_cast<size_t>(used) != text.size() || bits > std::numeric_limits<Bits>::max())
        return false;
    out = RealOf<Real>(static_cast<Bits>(bits));
    return std::isnan(out);
}

} // namespace

Json JsonOfFloat(float f) {
    return std::isfinite(f) ? Json(static_cast<double>(f)) : Special(f, QuietFloatNaN);
}

Json JsonOfDouble(double d) {
    return std::isfinite(d) ? Json(d) : Special(d, QuietDoubleNaN);
}

bool FloatOfJson(const Json& v, float& out) {
    if (v.is_string())
        return SpecialOf(v.get<std::string>(), QuietFloatNaN, out);
    if (!v.is_number())
        return false;
    double d = v.get<double>();
    if (!(std::fabs(d) <= FLT_MAX))
        return false;
    out = static_cast<float>(d);
    return true;
}

bool DoubleOfJson(const Json& v, double& out) {
    if (v.is_string())
        return SpecialOf(v.get<std::string>(), QuietDoubleNaN, out);
    if (!v.is_number())
        return false;
    out = v.get<double>();
    return true;
}

} // namespace kiv::tools
