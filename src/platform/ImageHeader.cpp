#include "platform/ImageHeader.h"

#include <cstdint>
#include <cstring>

namespace kiv::platform {

namespace {

std::uint32_t Little16(const unsigned char* p) {
    return p[0] | p[1] << 8;
}

std::uint32_t Little32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

std::uint32_t Big16(const unsigned char* p) {
    return p[0] << 8 | p[1];
}

std::uint32_t Big32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

bool Starts(const unsigned char* data, std::size_t size, const char* magic, std::size_t n) {
    return size >= n && std::memcmp(data, magic, n) == 0;
}

ImageHeader Bmp(const unsigned char* p, std::size_t size) {
    ImageHeader h{ImageHeader::Bmp};
    if (size < 26)
        return h;
    if (Little32(p + 14) == 12) { // the old OS/2 header: 16-bit sizes
        h.width = Little16(p + 18);
        h.height = Little16(p + 20);
        return h;
    }
    h.width = static_cast<std::int32_t>(Little32(p + 18));
    long long height = static_cast<std::int32_t>(Little32(p + 22));
    h.height = height < 0 ? -height : height;
    return h;
}

ImageHeader Png(const unsigned char* p, std::size_t size) {
    ImageHeader h{ImageHeader::Png};
    if (size >= 24 && std::memcmp(p + 12, "IHDR", 4) == 0) {
        h.width = Big32(p + 16);
        h.height = Big32(p + 20);
    }
    return h;
}

// A GIF decoder makes its picture as large as the first image's own descriptor says, which
// may be larger than the logical screen: that is the size that counts.
ImageHeader Gif(const unsigned char* p, std::size_t size) {
    ImageHeader h{ImageHeader::Gif};
    std::size_t at = 13;
    if (size < at)
        return h;
    if (p[10] & 0x80) // a global colour table follows the screen descriptor
        at += 3u << ((p[10] & 7) + 1);
    while (at < size) {
        if (p[at] == 0x2C) { // image descriptor
            if (size - at >= 10) {
                h.width = Little16(p + at + 5);
                h.height = Little16(p + at + 7);
            }
            return h;
        }
        if (p[at] != 0x21 || size - at < 2) // neither an extension nor an image
            return h;
        at += 2; // introducer and label, then sub-blocks up to an empty one
        while (at < size && p[at] != 0)
            at += 1u + p[at];
        ++at;
    }
    return h;
}

// The size is in the first start-of-frame segment, after any number of other segments.
ImageHeader Jpeg(const unsigned char* p, std::size_t size) {
    ImageHeader h{ImageHeader::Jpeg};
    std::size_t at = 2;
    while (at + 4 <= size) {
        if (p[at] != 0xFF)
            return h;
        unsigned char marker = p[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { // no length follows
            at += 2;
            continue;
        }
        std::size_t length = Big16(p + at + 2);
        bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length >= 7 && size - at >= 9) {
                h.height = Big16(p + at + 5);
                h.width = Big16(p + at + 7);
            }
            return h;
        }
        if (marker == 0xD9 || marker == 0xDA || length < 2) // end, or pixels before a frame
            return h;
        at += 2 + length;
    }
    return h;
}

} // namespace

bool PngChunksFit(const unsigned char* p, std::size_t size) {
    if (size < 8)
        return false;
    for (std::size_t at = 8; size - at >= 12;) {
        std::size_t length = Big32(p + at);
        if (length > size - at - 12)
            return false;
        if (std::memcmp(p + at + 4, "IEND", 4) == 0)
            return true;
        at += 12 + length;
    }
    return false;
}

ImageHeader ReadImageHeader(const unsigned char* data, std::size_t size) {
    if (!data)
        return {};
    if (Starts(data, size, "BM", 2))
        return Bmp(data, size);
    if (Starts(data, size, "\x89PNG\r\n\x1A\n", 8))
        return Png(data, size);
    if (Starts(data, size, "GIF87a", 6) || Starts(data, size, "GIF89a", 6))
        return Gif(data, size);
    if (Starts(data, size, "\xFF\xD8", 2))
        return Jpeg(data, size);
    return {};
}

} // namespace kiv::platform
