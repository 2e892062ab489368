#include "graphics/Surface.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

namespace kiv {

namespace {

// Where a colour component sits in a pixel value: the zero bits below its mask and the
// width of the mask.
struct Channel {
    int shift = 0;
    int bits = 0;
};

Channel ChannelOf(std::uint32_t mask) {
    if (mask == 0)
        return {};
    int shift = std::countr_zero(mask);
    return {shift, std::countr_one(mask >> shift)};
}

struct Channels {
    Channel red, green, blue;
    explicit Channels(const PixelFormat& f)
        : red(ChannelOf(f.redMask)), green(ChannelOf(f.greenMask)), blue(ChannelOf(f.blueMask)) {}
};

// The bits of a pixel value that a depth stores.
std::uint32_t DepthMask(int bitsPerPixel) {
    if (bitsPerPixel >= 32)
        return 0xFFFFFFFFu;
    if (bitsPerPixel <= 0)
        return 0;
    return (std::uint32_t{1} << bitsPerPixel) - 1;
}

// An 8-bit component reduced to its top `bits` bits and moved into place.
std::uint32_t Narrow(std::uint32_t component, Channel c) {
    if (c.bits == 0)
        return 0;
    return ((component << c.bits) >> 8) << c.shift;
}

// A component of `bits` bits widened to 8 by repeating its bits below itself, so that the
// largest value becomes 0xFF and 0 stays 0.
std::uint32_t Widen(std::uint32_t pixel, Channel c) {
    if (c.bits == 0)
        return 0;
    std::uint32_t v = (pixel >> c.shift) & DepthMask(c.bits);
    if (c.bits >= 8)
        return (v >> (c.bits - 8)) & 0xFF;
    std::uint32_t r = v << (8 - c.bits);
    for (int filled = c.bits; filled < 8; filled *= 2)
        r |= r >> filled;
    return r & 0xFF;
}

// Pixels are read and written through memcpy: the buffer holds bytes, and the compilers
// turn a fixed-size memcpy into a plain (vectorisable) load or store.
template <typename T>
T Load(const std::uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void Store(std::uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

// Any depth, one pixel at a time; 24-bit pixels are three bytes B, G, R.
std::uint32_t LoadPixel(const std::uint8_t* p, int bytesPerPixel) {
    switch (bytesPerPixel) {
    case 1:
        return p[0];
    case 2:
        return Load<std::uint16_t>(p);
    case 3:
        return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    case 4:
        return Load<std::uint32_t>(p);
    default:
        return 0;
    }
}

void StorePixel(std::uint8_t* p, int bytesPerPixel, std::uint32_t v) {
    switch (bytesPerPixel) {
    case 1:
        p[0] = static_cast<std::uint8_t>(v);
        break;
    case 2:
        Store(p, static_cast<std::uint16_t>(v));
        break;
    case 3:
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
        p[2] = static_cast<std::uint8_t>(v >> 16);
        break;
    case 4:
        Store(p, v);
        break;
    default:
        break;
    }
}

template <int Bytes>
struct PixelWord;
template <>
struct PixelWord<1> {
    using Type = std::uint8_t;
};
template <>
struct PixelWord<2> {
    using Type = std::uint16_t;
};
template <>
struct PixelWord<4> {
    using Type = std::uint32_t;
};

// Writes one pixel unless it is the key. The old value is stored back rather than skipped with
// a branch, so that the loops around it vectorise into a select.
template <typename T, bool Keyed>
void Merge(std::uint8_t* dst, T v, T key) {
    Store<T>(dst, !Keyed || v != key ? v : Load<T>(dst));
}

// Sixteen bytes of pixels, seen as 1-, 2- or 4-byte lanes; the compilers keep one in a vector
// register.
template <typename T>
struct Pixels16;
template <>
struct Pixels16<std::uint8_t> {
    typedef std::uint8_t Type __attribute__((vector_size(16)));
};
template <>
struct Pixels16<std::uint16_t> {
    typedef std::uint16_t Type __attribute__((vector_size(16)));
};
template <>
struct Pixels16<std::uint32_t> {
    typedef std::uint32_t Type __attribute__((vector_size(16)));
};
using Words16 = Pixels16<std::uint32_t>::Type;
using Halves16 = Pixels16<std::uint16_t>::Type;

// The pixels of sixteen bytes in reverse order: the four words are reversed, then the halves
// within each word (two shuffles of the halves) and, for bytes, the bytes within each half
// (shifts). x86-64 has these as single instructions, where a general reversal of small lanes
// would be taken apart pixel by pixel.
template <typename T>
typename Pixels16<T>::Type Reversed(Words16 v) {
    v = __builtin_shufflevector(v, v, 3, 2, 1, 0);
    if constexpr (sizeof(T) <= 2) {
        auto h = reinterpret_cast<Halves16>(v);
        h = __builtin_shufflevector(h, h, 1, 0, 3, 2, 5, 4, 7, 6);
        if constexpr (sizeof(T) == 1)
            h = (h << 8) | (h >> 8);
        v = reinterpret_cast<Words16>(h);
    }
    return reinterpret_cast<typename Pixels16<T>::Type>(v);
}

template <typename T, bool Keyed>
void CopyRowMirrored(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src, int count,
                     T key) {
    constexpr std::ptrdiff_t size = sizeof(T);
    constexpr int lanes = 16 / size;
    using V = typename Pixels16<T>::Type;
    const V keys = V{} + key;
    // Sixteen bytes of the row reversed, merged with what lies under them.
    auto reversed = [&](const std::uint8_t* from, const std::uint8_t* under) {
        Words16 words;
        V old;
        std::memcpy(&words, from - (lanes - 1) * size, sizeof words);
        std::memcpy(&old, under, sizeof old);
        V v = Reversed<T>(words);
        if constexpr (Keyed) {
            V skip = reinterpret_cast<V>(v == keys);
            v = (old & skip) | (v & ~skip);
        }
        return v;
    };
    // Two blocks are read before either is written: the stores going one way and the loads
    // the other would otherwise wait on each other.
    for (; count >= 2 * lanes; count -= 2 * lanes, dst += 32, src -= 32) {
        V a = reversed(src, dst), b = reversed(src - 16, dst + 16);
        std::memcpy(dst, &a, sizeof a);
        std::memcpy(dst + 16, &b, sizeof b);
    }
    for (; count >= lanes; count -= lanes, dst += 16, src -= 16) {
        V v = reversed(src, dst);
        std::memcpy(dst, &v, sizeof v);
    }
    for (int j = 0; j < count; ++j) {
        Merge<T, Keyed>(dst + size * j, Load<T>(src - size * j), key);
    }
}

// One row of a blit at 1, 2 or 4 bytes per pixel; `src` is the source pixel for the first
// destination pixel. Source and destination never overlap here (copies within one surface
// that overlap take BlitOverlapping).
//
// The row goes in blocks of a fixed pixel count and a short tail: a loop of known length is
// vectorised even by compilers that refuse loops needing a scalar epilogue.
template <typename T, bool Keyed>
void CopyRow(std::uint8_t* __restrict dst, const std::uint8_t* __restrict src, int count, T key) {
    constexpr int Block = 16;
    constexpr std::ptrdiff_t size = sizeof(T);
    for (; count >= Block; count -= Block, dst += Block * size, src += Block * size) {
        for (int j = 0; j < Block; ++j) {
            Merge<T, Keyed>(dst + size * j, Load<T>(src + size * j), key);
        }
    }
    for (int j = 0; j < count; ++j) {
        Merge<T, Keyed>(dst + size * j, Load<T>(src + size * j), key);
    }
}

// One row at 3 bytes per pixel (B, G, R), compared byte by byte against the key.
template <bool Keyed, bool Mirrored>
void CopyRow24(std::uint8_t* dst, const std::uint8_t* src, int count, std::uint32_t key) {
    constexpr std::ptrdiff_t step = Mirrored ? -3 : 3;
    const auto k0 = static_cast<std::uint8_t>(key);
    const auto k1 = static_cast<std::uint8_t>(key >> 8);
    const auto k2 = static_cast<std::uint8_t>(key >> 16);
    for (int i = 0; i < count; ++i, dst += 3, src += step) {
        std::uint8_t b0 = src[0], b1 = src[1], b2 = src[2];
        if constexpr (Keyed) {
            if (b0 == k0 && b1 == k1 && b2 == k2)
                continue;
        }
        dst[0] = b0;
        dst[1] = b1;
        dst[2] = b2;
    }
}

// The clipped part of a blit: `src` is the source pixel that lands on `dst`; row steps are
// in bytes, the source step negative when the copy is mirrored up-down.
struct BlitArea {
    std::uint8_t* dst;
    std::ptrdiff_t dstStep;
    const std::uint8_t* src;
    std::ptrdiff_t srcStep;
    int width;
    int height;
};

template <int Bytes, bool Keyed, bool Mirrored>
void BlitRows(const BlitArea& a, std::uint32_t key) {
    std::uint8_t* dst = a.dst;
    const std::uint8_t* src = a.src;
    for (int y = 0; y < a.height; ++y, dst += a.dstStep, src += a.srcStep) {
        if constexpr (!Keyed && !Mirrored) {
            std::memcpy(dst, src, static_cast<std::size_t>(a.width) * Bytes);
        } else if constexpr (Bytes == 3) {
            CopyRow24<Keyed, Mirrored>(dst, src, a.width, key);
        } else {
            using T = typename PixelWord<Bytes>::Type;
            if constexpr (Mirrored)
                CopyRowMirrored<T, Keyed>(dst, src, a.width, static_cast<T>(key));
            else
                CopyRow<T, Keyed>(dst, src, a.width, static_cast<T>(key));
        }
    }
}

using Blitter = void (*)(const BlitArea&, std::uint32_t);

template <int Bytes>
Blitter ChooseBlitter(bool keyed, bool mirrored) {
    if (keyed)
        return mirrored ? BlitRows<Bytes, true, true> : BlitRows<Bytes, true, false>;
    return mirrored ? BlitRows<Bytes, false, true> : BlitRows<Bytes, false, false>;
}

Blitter ChooseBlitter(int bytesPerPixel, bool keyed, bool mirrored) {
    switch (bytesPerPixel) {
    case 1:
        return ChooseBlitter<1>(keyed, mirrored);
    case 2:
        return ChooseBlitter<2>(keyed, mirrored);
    case 3:
        return ChooseBlitter<3>(keyed, mirrored);
    case 4:
        return ChooseBlitter<4>(keyed, mirrored);
    default:
        return nullptr;
    }
}

// A copy within one surface whose source and destination overlap. Without mirroring, rows
// and columns are visited in the order that reads every source pixel before it is
// overwritten (a two-dimensional memmove). A mirrored copy onto itself has no such order;
// it reads whatever the copy has already written there.
void BlitOverlapping(const BlitArea& a, int bytesPerPixel, bool keyed, std::uint32_t key,
                     bool mirroredLeftRight) {
    bool upwards = a.dst > a.src && a.srcStep > 0;
    bool leftwards = a.dst > a.src && !mirroredLeftRight;
    std::ptrdiff_t srcColumnStep = mirroredLeftRight ? -bytesPerPixel : bytesPerPixel;
    for (int row = 0; row < a.height; ++row) {
        int y = upwards ? a.height - 1 - row : row;
        std::uint8_t* dst = a.dst + a.dstStep * y;
        const std::uint8_t* src = a.src + a.srcStep * y;
        for (int column = 0; column < a.width; ++column) {
            int x = leftwards ? a.width - 1 - column : column;
            std::uint32_t v = LoadPixel(src + srcColumnStep * x, bytesPerPixel);
            if (!keyed || v != key)
                StorePixel(dst + std::ptrdiff_t{bytesPerPixel} * x, bytesPerPixel, v);
        }
    }
}

// Fills `rows` rows of `count` pixels: the first row pixel by pixel, the others copied from
// it.
void FillRows(std::uint8_t* first, std::ptrdiff_t pitch, int count, int rows, int bytesPerPixel,
              std::uint32_t pixel) {
    std::size_t bytes = static_cast<std::size_t>(count) * bytesPerPixel;
    switch (bytesPerPixel) {
    case 1:
        std::memset(first, static_cast<int>(pixel & 0xFF), bytes);
        break;
    case 2:
        for (int i = 0; i < count; ++i)
            Store(first + 2 * i, static_cast<std::uint16_t>(pixel));
        break;
    case 3:
        for (int i = 0; i < count; ++i)
            StorePixel(first + 3 * i, 3, pixel);
        break;
    case 4:
        for (int i = 0; i < count; ++i)
            Store(first + 4 * i, pixel);
        break;
    default:
        return;
    }
    for (int y = 1; y < rows; ++y)
        std::memcpy(first + pitch * y, first, bytes);
}

int PitchFor(int width, const PixelFormat& format) {
    int rowBytes = std::max(width, 0) * format.BytesPerPixel();
    return (rowBytes + 3) & ~3;
}

} // namespace

PixelFormat PixelFormat::ForDepth(int bitsPerPixel) {
    // Depths between the four the display knows take the next larger one.
    if (bitsPerPixel <= 8)
        return {8, 0, 0, 0};
    if (bitsPerPixel <= 16)
        return {16, 0xF800, 0x07E0, 0x001F};
    if (bitsPerPixel <= 24)
        return {24, 0xFF0000, 0x00FF00, 0x0000FF};
    return {32, 0xFF0000, 0x00FF00, 0x0000FF};
}

std::uint8_t Palette::Nearest(COLORREF c) const {
    int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    int best = 0;
    int bestDistance = 0x7FFFFFFF;
    for (int i = 0; i < 256; ++i) {
        int dr = static_cast<int>(entries[i] & 0xFF) - r;
        int dg = static_cast<int>((entries[i] >> 8) & 0xFF) - g;
        int db = static_cast<int>((entries[i] >> 16) & 0xFF) - b;
        int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
            if (distance == 0)
                break;
        }
    }
    return static_cast<std::uint8_t>(best);
}

COLORREF ColorOfPixel(const PixelFormat& format, const COLORREF* palette, std::uint32_t pixel) {
    pixel &= DepthMask(format.bitsPerPixel);
    if (format.bitsPerPixel <= 8)
        return palette ? palette[pixel & 0xFF] : 0;
    Channels c(format);
    return Widen(pixel, c.red) | (Widen(pixel, c.green) << 8) | (Widen(pixel, c.blue) << 16);
}

void ConvertToArgb(const PixelFormat& format, const COLORREF* palette, const std::uint8_t* src,
                   int srcPitch, int width, int height, std::uint32_t* dst, int dstPitch) {
    const int bytes = format.BytesPerPixel();
    const bool rgb888 =
        format.redMask == 0xFF0000 && format.greenMask == 0x00FF00 && format.blueMask == 0x0000FF;
    const Channels c(format);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = src + static_cast<std::ptrdiff_t>(srcPitch) * y;
        auto* out = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(dst) +
                                                     static_cast<std::ptrdiff_t>(dstPitch) * y);
        if (format.bitsPerPixel <= 8) {
            for (int x = 0; x < width; ++x) {
                COLORREF v = palette ? palette[in[x]] : 0;
                out[x] = 0xFF000000u | ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
            }
        } else if (rgb888 && bytes == 4) {
            for (int x = 0; x < width; ++x)
                out[x] = 0xFF000000u | Load<std::uint32_t>(in + 4 * x);
        } else if (rgb888 && bytes == 3) {
            for (int x = 0; x < width; ++x)
                out[x] = 0xFF000000u | LoadPixel(in + 3 * x, 3);
        } else {
            for (int x = 0; x < width; ++x) {
                std::uint32_t v = LoadPixel(in + std::ptrdiff_t{bytes} * x, bytes);
                out[x] = 0xFF000000u | (Widen(v, c.red) << 16) | (Widen(v, c.green) << 8) |
                         Widen(v, c.blue);
            }
        }
    }
}

void ApplyGammaRamp(const std::uint16_t* red, const std::uint16_t* green, const std::uint16_t* blue,
                    std::uint32_t* argb, int width, int height, int pitch) {
    std::uint32_t r[256], g[256], b[256];
    for (int i = 0; i < 256; ++i) {
        r[i] = std::min<std::uint32_t>(red[i] / 255u, 255u) << 16;
        g[i] = std::min<std::uint32_t>(green[i] / 255u, 255u) << 8;
        b[i] = std::min<std::uint32_t>(blue[i] / 255u, 255u);
    }
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(argb) +
                                                     static_cast<std::ptrdiff_t>(pitch) * y);
        for (int x = 0; x < width; ++x) {
            std::uint32_t v = row[x];
            row[x] = (v & 0xFF000000u) | r[v >> 16 & 0xFF] | g[v >> 8 & 0xFF] | b[v & 0xFF];
        }
    }
}

Surface::Surface(int w, int h, const PixelFormat& f, std::shared_ptr<const Palette> p)
    : width(std::max(w, 0)), height(std::max(h, 0)), pitch(PitchFor(w, f)), format(f),
      palette(std::move(p)), pixels(static_cast<std::size_t>(pitch) * height) {}

std::uint32_t Surface::MatchColor(COLORREF c) const {
    if (format.bitsPerPixel <= 8)
        return palette ? palette->Nearest(c) : c & 0xFF;
    Channels ch(format);
    return Narrow(c & 0xFF, ch.red) | Narrow((c >> 8) & 0xFF, ch.green) |
           Narrow((c >> 16) & 0xFF, ch.blue);
}

COLORREF Surface::ColorOf(std::uint32_t pixel) const {
    return ColorOfPixel(format, palette ? palette->entries : nullptr, pixel);
}

std::uint32_t Surface::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return 0;
    int bytes = format.BytesPerPixel();
    return LoadPixel(Row(y) + static_cast<std::ptrdiff_t>(x) * bytes, bytes);
}

void Surface::PutPixel(int x, int y, std::uint32_t value) {
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    int bytes = format.BytesPerPixel();
    StorePixel(Row(y) + static_cast<std::ptrdiff_t>(x) * bytes, bytes, value);
}

void Surface::SetColorKey(std::uint32_t pixel) {
    colorKey = pixel & DepthMask(format.bitsPerPixel);
    keyed = true;
}

Surface::Result Surface::Fill(std::uint32_t pixel) {
    return Fill(KivRect{0, 0, width, height}, pixel);
}

Surface::Result Surface::Fill(const KivRect& area, std::uint32_t pixel) {
    if (lost)
        return Result::Lost;
    int left = std::max(area.left, 0);
    int top = std::max(area.top, 0);
    int right = std::min(area.right, width);
    int bottom = std::min(area.bottom, height);
    if (left >= right || top >= bottom)
        return Result::Ok;
    int bytes = format.BytesPerPixel();
    FillRows(Row(top) + static_cast<std::ptrdiff_t>(left) * bytes, pitch, right - left,
             bottom - top, bytes, pixel & DepthMask(format.bitsPerPixel));
    return Result::Ok;
}

Surface::Result Surface::Blit(int x, int y, const Surface& source, const KivRect& from,
                              unsigned flags) {
    if (lost || source.lost)
        return Result::Lost;
    if (!(source.format == format))
        return Result::InvalidRect;
    if (from.left < 0 || from.top < 0 || from.left > from.right || from.top > from.bottom ||
        from.right > source.width || from.bottom > source.height)
        return Result::InvalidRect;

    // The destination rectangle before and after clipping, in 64 bits so that positions far
    // off the surface cannot overflow.
    const std::int64_t destLeft = x, destTop = y;
    const std::int64_t left = std::max<std::int64_t>(destLeft, 0);
    const std::int64_t top = std::max<std::int64_t>(destTop, 0);
    const std::int64_t right = std::min<std::int64_t>(destLeft + (from.right - from.left), width);
    const std::int64_t bottom = std::min<std::int64_t>(destTop + (from.bottom - from.top), height);
    if (left >= right || top >= bottom)
        return Result::Ok;

    // The whole of `from` is mirrored onto the unclipped destination; the clipped part
    // starts `skipX`, `skipY` pixels into it.
    const bool mirrorX = flags & MirrorLeftRight;
    const bool mirrorY = flags & MirrorUpDown;
    const int skipX = static_cast<int>(left - destLeft);
    const int skipY = static_cast<int>(top - destTop);
    const int srcX = mirrorX ? from.right - 1 - skipX : from.left + skipX;
    const int srcY = mirrorY ? from.bottom - 1 - skipY : from.top + skipY;
    const int bytes = format.BytesPerPixel();

    BlitArea area{Row(static_cast<int>(top)) + left * bytes,
                  pitch,
                  source.Row(srcY) + static_cast<std::ptrdiff_t>(srcX) * bytes,
                  mirrorY ? -std::ptrdiff_t{source.pitch} : source.pitch,
                  static_cast<int>(right - left),
                  static_cast<int>(bottom - top)};
    const bool useKey = (flags & UseColorKey) && source.keyed;

    if (&source == this) {
        // The source rectangle read: from srcX, srcY on, leftwards or upwards when mirrored.
        int srcLeft = mirrorX ? srcX - (area.width - 1) : srcX;
        int srcTop = mirrorY ? srcY - (area.height - 1) : srcY;
        bool overlap = srcLeft < right && left < srcLeft + area.width && srcTop < bottom &&
                       top < srcTop + area.height;
        if (overlap) {
            BlitOverlapping(area, bytes, useKey, source.colorKey, mirrorX);
            return Result::Ok;
        }
    }
    if (Blitter blit = ChooseBlitter(bytes, useKey, mirrorX))
        blit(area, source.colorKey);
    return Result::Ok;
}

} // namespace kiv
