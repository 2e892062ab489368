#pragma once

#include <kiv/base/node.h>

// Park-Miller minimal-standard generator with a Bays-Durham shuffle table (Schrage's method).
// Its state is saved with games so that replays and loaded games draw the same numbers.
class KIV_API Random : public node {
public:
    enum { TableSize = 32 };

    Random();

    // Seed with s: the next draw re-initialises the shuffle table.
    void Seed(int s);
    // Next value in [0, 0.9999999].
    float Next();

    node* Clone() override;
    void Load(File& file) override;
    void Save(File& file) override;
    const char* ClassName() override;

    int iy;
    int idum;
    int iv[TableSize];
};

// A float in [0, max) from the float generator.
KIV_API float RandFlt(float max);
// An int in [0, n) from the integer generator.
KIV_API int RandInt(unsigned int n);
// Seeds the float generator with seed and the integer generator with seed + 77.
KIV_API void RandReset(unsigned int seed);
