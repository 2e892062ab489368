#pragma once

#include <cstddef>

namespace kiv::platform {

// The kind and the size of an image as its header gives them, read without decoding. Only
// the formats the runtime decodes are recognised; anything else is None.
struct ImageHeader {
    enum Kind { None, Bmp, Png, Gif, Jpeg };
    Kind kind = None;
    // As stored, widened so that no header value can overflow: a BMP's negative height (rows
    // stored top down) is given as its magnitude. 0 when the header holds no size.
    long long width = 0;
    long long height = 0;
};

ImageHeader ReadImageHeader(const unsigned char* data, std::size_t size);

// Whether every chunk of a PNG file, up to its end chunk, lies within the data. A decoder
// given one that does not goes on reading (and skipping) past the end for as long as a
// damaged length says.
bool PngChunksFit(const unsigned char* data, std::size_t size);

} // namespace kiv::platform
