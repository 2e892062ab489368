#pragma once

#include <kiv/base/Types.h>

#include "graphics/Surface.h"
#include "platform/FontCatalog.h"

#include <cstdint>

class Random;

namespace kiv {

// Draws the covered pixels of a glyph whose pen is at x and whose text line starts at y,
// in the pixel value `pixel`, clipped to the surface.
void DrawGlyph(Surface& surface, const platform::Glyph& glyph, int x, int y, std::uint32_t pixel);

// The outline of r, its right and bottom edges included.
void DrawOutline(Surface& surface, const KivRect& r, std::uint32_t pixel);

// A random whole number from 0 to n - 1 from the generator shared by all variables, which
// is seeded from the clock after a variable has been made.
int TextRandom(int n);
// Set by every new variable: the next TextRandom reseeds the generator.
extern bool TextSeedPending;
// The generator itself; saved games carry its state.
Random& TextGenerator();

} // namespace kiv
