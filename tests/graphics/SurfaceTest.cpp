#include <kiv/Kiv.h>

#include "graphics/Surface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <utility>
#include <vector>

using kiv::PixelFormat;
using kiv::Surface;

namespace {

constexpr COLORREF Rgb(unsigned r, unsigned g, unsigned b) {
    return r | (g << 8) | (b << 16);
}

constexpr int Depths[] = {8, 16, 24, 32};

std::uint32_t DepthMask(int depth) {
    return depth == 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
}

// Noise over the whole buffer, row padding included, so that a write outside the pixels an
// operation owns shows up when buffers are compared.
void Noise(Surface& s, std::mt19937& rng) {
    for (int i = 0; i < s.Pitch() * s.Height(); ++i)
        s.Pixels()[i] = static_cast<std::uint8_t>(rng());
}

bool SameBytes(const Surface& a, const Surface& b) {
    return std::memcmp(a.Pixels(), b.Pixels(), static_cast<size_t>(a.Pitch()) * a.Height()) == 0;
}

// The blit rule pixel by pixel: the whole of `from`, mirrored, is laid at (x, y); whatever
// lands outside the destination is dropped.
void ReferenceBlit(Surface& dst, int x, int y, const Surface& src, const KivRect& from,
                   unsigned flags) {
    for (int oy = 0; oy < from.bottom - from.top; ++oy) {
        for (int ox = 0; ox < from.right - from.left; ++ox) {
            int sx = (flags & Surface::MirrorLeftRight) ? from.right - 1 - ox : from.left + ox;
            int sy = (flags & Surface::MirrorUpDown) ? from.bottom - 1 - oy : from.top + oy;
            std::uint32_t v = src.GetPixel(sx, sy);
            if (!(flags & Surface::UseColorKey) || !src.HasColorKey() || v != src.ColorKey())
                dst.PutPixel(x + ox, y + oy, v);
        }
    }
}

} // namespace

TEST(Surface, ColoursAndPixelValues) {
    Surface s16(1, 1, PixelFormat::ForDepth(16));
    EXPECT_EQ(s16.MatchColor(Rgb(255, 255, 255)), 0xFFFFu);
    // Each component keeps its top bits: 0x87 -> 10000, 0x43 -> 010000, 0x21 -> 00100, and
    // widens back by repeating them.
    EXPECT_EQ(s16.MatchColor(Rgb(0x87, 0x43, 0x21)), 0x8204u);
    EXPECT_EQ(s16.ColorOf(0x8204), Rgb(0x84, 0x41, 0x21));
    for (std::uint32_t v = 0; v <= 0xFFFF; ++v) {
        if (s16.MatchColor(s16.ColorOf(v)) != v) {
            ADD_FAILURE() << "16-bit pixel " << std::hex << v << " does not survive the trip";
            break;
        }
    }
    for (int depth : {24, 32}) {
        Surface s(1, 1, PixelFormat::ForDepth(depth));
        EXPECT_EQ(s.MatchColor(0xFF000000u | Rgb(0x12, 0x34, 0x56)), 0x123456u) << depth;
        EXPECT_EQ(s.ColorOf(0x123456), Rgb(0x12, 0x34, 0x56)) << depth;
    }

    Surface s8(1, 1, PixelFormat::ForDepth(8));
    EXPECT_EQ(s8.MatchColor(Rgb(0x12, 0x34, 0x56)), 0x12u); // no palette: the low byte
    EXPECT_EQ(s8.ColorOf(0x12), 0u);                        // and black
    auto palette = std::make_shared<kiv::Palette>();
    palette->entries[3] = Rgb(200, 10, 10);
    palette->entries[7] = palette->entries[9] = Rgb(10, 200, 10);
    s8.SetPalette(palette);
    EXPECT_EQ(s8.MatchColor(Rgb(190, 30, 0)), 3u);
    EXPECT_EQ(s8.MatchColor(Rgb(10, 190, 10)), 7u); // a tie goes to the lower index
    EXPECT_EQ(s8.ColorOf(3), Rgb(200, 10, 10));
}

TEST(Surface, ConvertToArgbPerDepth) {
    // Two rows of two pixels into rows of three words: the third word must stay.
    auto convert = [](int depth, const COLORREF* palette, std::vector<std::uint32_t> pixels) {
        Surface s(2, 2, PixelFormat::ForDepth(depth));
        for (int i = 0; i < 4; ++i)
            s.PutPixel(i % 2, i / 2, pixels[i]);
        std::vector<std::uint32_t> out(6, 7);
        kiv::ConvertToArgb(s.Format(), palette, s.Pixels(), s.Pitch(), 2, 2, out.data(), 12);
        return out;
    };
    using V = std::vector<std::uint32_t>;
    EXPECT_EQ(convert(32, nullptr, {0x123456, 0x1200ABCD, 0, 0xFFFFFF}),
              (V{0xFF123456, 0xFF00ABCD, 7, 0xFF000000, 0xFFFFFFFF, 7}));
    EXPECT_EQ(convert(24, nullptr, {0x123456, 0xABCDEF, 0, 0xFFFFFF}),
              (V{0xFF123456, 0xFFABCDEF, 7, 0xFF000000, 0xFFFFFFFF, 7}));
    EXPECT_EQ(convert(16, nullptr, {0xF800, 0x07E0, 0x001F, 0x8204}),
              (V{0xFFFF0000, 0xFF00FF00, 7, 0xFF0000FF, 0xFF844121, 7}));
    COLORREF palette[256] = {};
    palette[1] = Rgb(0x12, 0x34, 0x56);
    EXPECT_EQ(convert(8, palette, {1, 0, 0, 1}),
              (V{0xFF123456, 0xFF000000, 7, 0xFF000000, 0xFF123456, 7}));
}

TEST(Surface, SinglePixelsStayInTheirBytes) {
    Surface s24(2, 1, PixelFormat::ForDepth(24));
    s24.PutPixel(0, 0, 0xFF112233u);
    const std::uint8_t expected[] = {0x33, 0x22, 0x11, 0}; // blue, green, red; next untouched
    EXPECT_EQ(std::memcmp(s24.Row(0), expected, 4), 0);

    for (int depth : Depths) {
        Surface s(3, 2, PixelFormat::ForDepth(depth));
        std::memset(s.Pixels(), 0x5A, static_cast<size_t>(s.Pitch()) * 2);
        const Surface before = s;
        for (auto [x, y] : {std::pair{-1, 0}, std::pair{3, 0}, std::pair{0, -1}, std::pair{0, 2}}) {
            s.PutPixel(x, y, 0);
            EXPECT_EQ(s.GetPixel(x, y), 0u) << depth;
        }
        EXPECT_TRUE(SameBytes(s, before)) << depth;
        s.PutPixel(2, 1, 0xFFFFFFFFu);
        EXPECT_EQ(s.GetPixel(2, 1), DepthMask(depth));
        EXPECT_EQ(s.GetPixel(1, 1), 0x5A5A5A5Au & DepthMask(depth));
    }
}

TEST(Surface, FillsAreClipped) {
    std::mt19937 rng(7);
    const KivRect areas[] = {{0, 0, 11, 5},  {2, 1, 6, 4},       {-5, -5, 3, 2}, {8, 3, 40, 40},
                             {-9, 2, 99, 3}, {3, 3, 3, 4},       {6, 2, 4, 4},   {11, 0, 20, 5},
                             {0, 5, 11, 9},  {-100, -100, -1, 9}};
    for (int depth : Depths) {
        for (const KivRect& area : areas) {
            Surface s(11, 5, PixelFormat::ForDepth(depth));
            Noise(s, rng);
            Surface expected = s;
            const auto value = static_cast<std::uint32_t>(rng());
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x)
                    expected.PutPixel(x, y, value);
            EXPECT_EQ(s.Fill(area, value), Surface::Result::Ok);
            EXPECT_TRUE(SameBytes(s, expected))
                << depth << " bits, area " << area.left << "," << area.top;
        }
    }
}

// Every mirror mode, keyed and not, at places that clip each edge and corner or miss the
// destination altogether, compared byte for byte (row padding included) with the rule.
TEST(Surface, BlitsFollowThePixelRule) {
    std::mt19937 rng(1);
    const int places[] = {-19, -12, -9, -4, 0, 5, 12, 17, 20, 40};
    const KivRect froms[] = {{0, 0, 19, 9}, {3, 2, 15, 8}, {18, 8, 19, 9}};
    for (int depth : Depths) {
        const std::uint32_t mask = DepthMask(depth);
        const std::uint32_t key = 0x00FF00FFu & mask;
        Surface src(19, 9, PixelFormat::ForDepth(depth));
        src.SetColorKey(key | ~mask); // only the depth's bits count
        EXPECT_EQ(src.ColorKey(), key);
        for (int y = 0; y < src.Height(); ++y) {
            for (int x = 0; x < src.Width(); ++x) {
                auto v = static_cast<std::uint32_t>(rng());
                if (v % 3 == 0)
                    v = key;
                else if (v % 5 == 0)
                    v = key ^ (1u << ((v >> 8) % depth)); // one bit off: drawn
                src.PutPixel(x, y, v);
            }
        }
        Surface base(23, 17, PixelFormat::ForDepth(depth));
        Noise(base, rng);
        for (const KivRect& from : froms) {
            for (unsigned flags = 0; flags < 8; ++flags) {
                for (int x : places) {
                    for (int y : places) {
                        Surface dst = base, expected = base;
                        ReferenceBlit(expected, x, y, src, from, flags);
                        ASSERT_EQ(dst.Blit(x, y, src, from, flags), Surface::Result::Ok);
                        ASSERT_TRUE(SameBytes(dst, expected))
                            << depth << " bits, flags " << flags << ", from " << from.left << ","
                            << from.top << " at " << x << "," << y;
                    }
                }
            }
        }
        src.ClearColorKey(); // UseColorKey without a key copies everything
        Surface dst = base, expected = base;
        ReferenceBlit(expected, 2, 3, src, froms[0], 0);
        dst.Blit(2, 3, src, froms[0], Surface::UseColorKey);
        EXPECT_TRUE(SameBytes(dst, expected)) << depth;
    }
}

// The rule pinned down by hand: the whole source is mirrored first, clipping then drops
// columns and rows of the mirrored picture.
TEST(Surface, MirrorsByHand) {
    Surface src(3, 2, PixelFormat::ForDepth(32));
    for (int i = 0; i < 6; ++i)
        src.PutPixel(i % 3, i / 3, i + 1); // 1 2 3 / 4 5 6
    auto blit = [&](int x, int y, unsigned flags) {
        Surface dst(3, 2, src.Format());
        dst.Blit(x, y, src, {0, 0, 3, 2}, flags);
        std::vector<std::uint32_t> out;
        for (int i = 0; i < 6; ++i)
            out.push_back(dst.GetPixel(i % 3, i / 3));
        return out;
    };
    using V = std::vector<std::uint32_t>;
    const unsigned both = Surface::MirrorLeftRight | Surface::MirrorUpDown;
    EXPECT_EQ(blit(0, 0, Surface::MirrorLeftRight), (V{3, 2, 1, 6, 5, 4}));
    EXPECT_EQ(blit(0, 0, Surface::MirrorUpDown), (V{4, 5, 6, 1, 2, 3}));
    EXPECT_EQ(blit(0, 0, both), (V{6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(blit(-1, 0, Surface::MirrorLeftRight), (V{2, 1, 0, 5, 4, 0}));
    EXPECT_EQ(blit(1, 1, both), (V{0, 0, 0, 0, 6, 5}));
    EXPECT_EQ(blit(0, -1, Surface::MirrorUpDown), (V{1, 2, 3, 0, 0, 0}));
}

// A mirrored blit draws exactly what a straight blit of the mirrored picture draws, for
// widths around the row copies' block sizes (whole blocks, a tail, less than a block), keyed
// or not, whole or clipped on either side.
TEST(Surface, MirroredBlitEqualsBlitOfMirroredImage) {
    std::mt19937 rng(7);
    for (int depth : Depths) {
        const PixelFormat f = PixelFormat::ForDepth(depth);
        const std::uint32_t key = 0x00FF00FFu & DepthMask(depth);
        for (int width : {1, 3, 4, 7, 8, 15, 16, 17, 31, 33, 64}) {
            Surface src(width, 5, f), mirrored(width, 5, f);
            src.SetColorKey(key);
            mirrored.SetColorKey(key);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < width; ++x)
                    src.PutPixel(x, y, rng() % 4 == 0 ? key : static_cast<std::uint32_t>(rng()));
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < width; ++x)
                    mirrored.PutPixel(width - 1 - x, y, src.GetPixel(x, y));
            Surface base(80, 9, f);
            Noise(base, rng);
            for (unsigned keyed : {0u, unsigned{Surface::UseColorKey}})
                for (int x : {-width + 1, -width / 2, 0, 5, 80 - width, 80 - width / 2}) {
                    Surface viaFlag = base, viaImage = base;
                    viaFlag.Blit(x, 2, src, {0, 0, width, 5}, keyed | Surface::MirrorLeftRight);
                    viaImage.Blit(x, 2, mirrored, {0, 0, width, 5}, keyed);
                    ASSERT_TRUE(SameBytes(viaFlag, viaImage))
                        << depth << " bits, width " << width << " at " << x << ", keyed " << keyed;
                }
        }
    }
}

TEST(Surface, RefusedBlitsDrawNothing) {
    std::mt19937 rng(3);
    const PixelFormat f = PixelFormat::ForDepth(16);
    Surface src(8, 6, f), dst(10, 10, f), other(8, 6, PixelFormat::ForDepth(32));
    Noise(src, rng);
    Noise(dst, rng);
    const Surface before = dst;
    for (const KivRect& from : {KivRect{-1, 0, 4, 4}, KivRect{0, -1, 4, 4}, KivRect{0, 0, 9, 6},
                                KivRect{0, 0, 8, 7}, KivRect{5, 0, 4, 4}, KivRect{0, 5, 4, 4}})
        EXPECT_EQ(dst.Blit(0, 0, src, from, 0), Surface::Result::InvalidRect) << from.right;
    EXPECT_EQ(dst.Blit(0, 0, other, {0, 0, 8, 6}, 0), Surface::Result::InvalidRect);
    EXPECT_EQ(dst.Blit(0, 0, src, {8, 6, 8, 6}, 0), Surface::Result::Ok); // empty: no error

    src.Lose();
    EXPECT_EQ(dst.Blit(0, 0, src, {0, 0, 8, 6}, 0), Surface::Result::Lost);
    EXPECT_TRUE(SameBytes(dst, before));
    src.Restore();
    dst.Lose();
    EXPECT_EQ(dst.Blit(0, 0, src, {0, 0, 8, 6}, 0), Surface::Result::Lost);
    EXPECT_EQ(dst.Fill(0), Surface::Result::Lost);
    dst.Restore();
    EXPECT_EQ(dst.Blit(0, 0, src, {0, 0, 8, 6}, 0), Surface::Result::Ok);
    EXPECT_EQ(dst.GetPixel(7, 5), src.GetPixel(7, 5));
}

// Copying part of a surface onto an overlapping part of itself gives what a copy from an
// untouched duplicate gives, in every direction.
TEST(Surface, OverlappingCopyWithinOneSurface) {
    std::mt19937 rng(5);
    for (int depth : {16, 24}) {
        Surface s(12, 10, PixelFormat::ForDepth(depth));
        s.SetColorKey(0);
        for (int i = 0; i < 120; ++i)
            s.PutPixel(i % 12, i / 12, rng() % 4 == 0 ? 0 : rng());
        const KivRect from{3, 3, 9, 8};
        for (auto [dx, dy] : {std::pair{2, 0}, std::pair{-2, 0}, std::pair{0, 3}, std::pair{0, -3},
                              std::pair{3, 2}, std::pair{-1, 1}}) {
            for (unsigned flags : {0u, unsigned{Surface::UseColorKey}}) {
                Surface actual = s, expected = s;
                ReferenceBlit(expected, from.left + dx, from.top + dy, s, from, flags);
                actual.Blit(from.left + dx, from.top + dy, actual, from, flags);
                EXPECT_TRUE(SameBytes(actual, expected))
                    << depth << " bits, shift " << dx << "," << dy << ", flags " << flags;
            }
        }
    }
}
