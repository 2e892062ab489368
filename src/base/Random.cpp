#include <kiv/base/Random.h>
#include <kiv/data/CREATE.h>
#include <kiv/data/File.h>

#include "base/Generators.h"

#include <climits>

namespace {

constexpr int IA = 16807;
constexpr int IM = 2147483647;
constexpr int IQ = 127773;
constexpr int IR = 2836;
constexpr int NDIV = 1 + (IM - 1) / Random::TableSize;
constexpr float AM = 4.656613e-10f;
constexpr float RNMX = 0.9999999f;

// Schrage's method: 16807 * idum mod (2^31 - 1) without overflow.
int Advance(int idum) {
    int k = idum / IQ;
    idum = IA * (idum - k * IQ) - IR * k;
    return idum < 0 ? idum + IM : idum;
}

CREATE registration("Random", [] { return static_cast<node*>(new Random); });

} // namespace

namespace kiv {
Random FloatGenerator;
Random IntGenerator;
} // namespace kiv

Random::Random() : iy(0), idum(0), iv{} {}

void Random::Seed(int s) {
    idum = s < 1 ? s : -s;
}

float Random::Next() {
    if (idum <= 0 || iy == 0) {
        // -INT_MIN does not exist; the two's complement negation leaves it negative.
        idum = (idum != INT_MIN && -idum >= 1) ? -idum : 1;
        for (int j = TableSize + 7; j >= 0; --j) {
            idum = Advance(idum);
            if (j < TableSize)
                iv[j] = idum;
        }
        iy = iv[0];
    }
    idum = Advance(idum);
    int j = iy / NDIV;
    iy = iv[j];
    iv[j] = idum;
    float result = AM * static_cast<float>(iy);
    return result > RNMX ? RNMX : result;
}

node* Random::Clone() {
    return new Random(*this);
}

void Random::Save(File& file) {
    file.Write(iy);
    file.Write(idum);
    for (int v : iv)
        file.Write(v);
}

void Random::Load(File& file) {
    file.Read(iy);
    file.Read(idum);
    for (int& v : iv)
        file.Read(v);
    // Shuffle indices come from iy / NDIV, and iy from the table: a negative value from a
    // damaged file would index outside it, so such a state is rebuilt at the next draw.
    bool valid = iy >= 0;
    for (int v : iv)
        valid = valid && v >= 0;
    if (!valid)
        iy = 0;
}

const char* Random::ClassName() {
    return "Random";
}

float RandFlt(float max) {
    return kiv::FloatGenerator.Next() * max;
}

int RandInt(unsigned int n) {
    return static_cast<int>(kiv::IntGenerator.Next() * static_cast<float>(n));
}

void RandReset(unsigned int seed) {
    kiv::FloatGenerator.Seed(static_cast<int>(seed));
    kiv::IntGenerator.Seed(static_cast<int>(seed + 77));
}

namespace {
// Both generators start seeded with 1 when the library is loaded.
[[maybe_unused]] const bool seededAtLoad = (RandReset(1), true);
} // namespace
