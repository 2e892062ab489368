#include "platform/GifDecoder.h"

#include "data/DataLimits.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace kiv::platform {

namespace {

constexpr int MaxCodes = 4096; // codes are at most 12 bits

// Reads the file front to back; every read past the end fails.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data(data), size(size) {}
    bool Byte(unsigned& out) {
        if (at >= size)
            return false;
        out = data[at++];
        return true;
    }
    bool Word(unsigned& out) {
        unsigned low, high;
        if (!Byte(low) || !Byte(high))
            return false;
        out = low | high << 8;
        return true;
    }
    bool Take(std::size_t n, const unsigned char*& out) {
        if (n > size - at)
            return false;
        out = data + at;
        at += n;
        return true;
    }
    // Sub-blocks up to the empty one, appended to `out`.
    bool SubBlocks(std::vector<unsigned char>& out) {
        for (;;) {
            unsigned n;
            const unsigned char* block;
            if (!Byte(n))
                return false;
            if (n == 0)
                return true;
            if (!Take(n, block))
                return false;
            out.insert(out.end(), block, block + n);
        }
    }

private:
    const unsigned char* data;
    std::size_t size;
    std::size_t at = 0;
};

struct ColourTable {
    std::uint32_t argb[256] = {};
    unsigned count = 0;
};

bool ReadTable(Reader& in, unsigned packed, ColourTable& table) {
    if (!(packed & 0x80))
        return true;
    table.count = 2u << (packed & 7);
    const unsigned char* rgb;
    if (!in.Take(3 * table.count, rgb))
        return false;
    for (unsigned i = 0; i < table.count; ++i)
        table.argb[i] = 0xFF000000u | rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2];
    return true;
}

// The LZW codes of an image's data, turned into exactly `pixels.size()` colour indices.
class Lzw {
public:
    Lzw(unsigned minimumSize, const std::vector<unsigned char>& codes)
        : minimum(minimumSize), codes(codes) {}

    bool Decode(std::vector<unsigned char>& pixels) {
        const unsigned clear = 1u << minimum, end = clear + 1;
        for (unsigned c = 0; c < clear; ++c)
            entries[c] = {0, static_cast<unsigned char>(c), static_cast<unsigned char>(c), 1};
        Reset(clear);
        int previous = -1;
        std::size_t written = 0;
        for (unsigned code; written < pixels.size() && Next(code);) {
            if (code == clear) {
                Reset(clear);
                previous = -1;
                continue;
            }
            if (code == end)
                break;
            Entry added{};
            if (previous < 0) {
                if (code >= clear)
                    return false;
            } else if (code <= next && next < MaxCodes) {
                const Entry& before = entries[previous];
                unsigned char first = code < next ? entries[code].first : before.first;
                added = {previous, first, before.first, before.length + 1};
            } else if (code >= next) {
                return false;
            }
            if (previous >= 0 && next < MaxCodes) {
                entries[next++] = added;
                if (next == 1u << size && size < 12)
                    ++size;
            }
            written = Emit(code, pixels, written);
            previous = static_cast<int>(code);
        }
        return written == pixels.size();
    }

private:
    struct Entry {
        int prefix;
        unsigned char last;  // the entry's last index
        unsigned char first; // and its first
        int length;
    };

    void Reset(unsigned clear) {
        size = minimum + 1;
        next = clear + 2;
    }

    bool Next(unsigned& code) {
        if (bit + size > 8 * codes.size())
            return false;
        code = 0;
        for (unsigned i = 0; i < size; ++i, ++bit)
            code |= ((codes[bit / 8] >> (bit % 8)) & 1u) << i;
        return true;
    }

    // Writes the indices of `code` from `at` on (as many as still fit).
    std::size_t Emit(unsigned code, std::vector<unsigned char>& pixels, std::size_t at) {
        const Entry* e = &entries[code];
        std::size_t length = static_cast<std::size_t>(e->length);
        for (std::size_t i = length; i-- > 0; e = &entries[e->prefix])
            if (at + i < pixels.size())
                pixels[at + i] = e->last;
        return at + length < pixels.size() ? at + length : pixels.size();
    }

    unsigned minimum;
    const std::vector<unsigned char>& codes;
    Entry entries[MaxCodes];
    unsigned size = 0;
    unsigned next = 0;
    std::size_t bit = 0;
};

// The row of the picture that decoded row `n` of an interlaced image fills.
int InterlacedRow(int n, int height) {
    const int starts[] = {0, 4, 2, 1}, steps[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        int rows = (height - starts[pass] + steps[pass] - 1) / steps[pass];
        if (rows > 0 && n < rows)
            return starts[pass] + n * steps[pass];
        n -= rows > 0 ? rows : 0;
    }
    return 0;
}

} // namespace

bool DecodeGif(const unsigned char* data, std::size_t size, Image& out) {
    Reader in(data, size);
    const unsigned char* signature;
    unsigned screenWidth, screenHeight, packed, background, aspect;
    if (!in.Take(6, signature) ||
        (std::memcmp(signature, "GIF87a", 6) != 0 && std::memcmp(signature, "GIF89a", 6) != 0) ||
        !in.Word(screenWidth) || !in.Word(screenHeight) || !in.Byte(packed) ||
        !in.Byte(background) || !in.Byte(aspect))
        return false;
    ColourTable global;
    if (!ReadTable(in, packed, global))
        return false;
    int transparent = -1;
    for (unsigned introducer; in.Byte(introducer);) {
        if (introducer == 0x21) { // extension: only the graphic control one matters
            unsigned label;
            std::vector<unsigned char> body;
            if (!in.Byte(label) || !in.SubBlocks(body))
                return false;
            if (label == 0xF9 && body.size() >= 4)
                transparent = body[0] & 1 ? body[3] : -1;
            continue;
        }
        if (introducer != 0x2C)
            return false; // the end of the file, or damage, before any image
        unsigned left, top, width, height, imagePacked, minimum;
        if (!in.Word(left) || !in.Word(top) || !in.Word(width) || !in.Word(height) ||
            !in.Byte(imagePacked) || !ImageFits(width, height))
            return false;
        ColourTable local;
        if (!ReadTable(in, imagePacked, local) || !in.Byte(minimum) || minimum < 2 || minimum > 8)
            return false;
        std::vector<unsigned char> codes, indices(static_cast<std::size_t>(width) * height);
        if (!in.SubBlocks(codes) || !Lzw(minimum, codes).Decode(indices))
            return false;
        const ColourTable& table = imagePacked & 0x80 ? local : global;
        out.width = static_cast<int>(width);
        out.height = static_cast<int>(height);
        out.argb.assign(indices.size(), 0xFF000000u);
        for (int row = 0; row < out.height; ++row) {
            int y = imagePacked & 0x40 ? InterlacedRow(row, out.height) : row;
            for (int x = 0; x < out.width; ++x) {
                unsigned i = indices[static_cast<std::size_t>(row) * width + x];
                std::uint32_t& pixel = out.argb[static_cast<std::size_t>(y) * width + x];
                if (static_cast<int>(i) == transparent)
                    pixel = 0;
                else if (i < table.count)
                    pixel = table.argb[i];
            }
        }
        return true;
    }
    return false;
}

} // namespace kiv::platform
