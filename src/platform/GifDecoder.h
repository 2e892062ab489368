#pragma once

#include "platform/Platform.h"

#include <cstddef>

namespace kiv::platform {

// The first image of a GIF file (87a or 89a), in its own size, with the transparent colour
// of its graphic control extension as fully transparent pixels. False for anything damaged:
// a block or a table cut short, a code its LZW table does not hold, fewer pixels than the
// image has, or a size no surface holds. Written here rather than taken from the image
// library, whose GIF reader frees memory it does not own on some damaged files.
bool DecodeGif(const unsigned char* data, std::size_t size, Image& out);

} // namespace kiv::platform
