#pragma once

#include <kiv/base/Types.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace kiv {

// Layout of one pixel. 8 bits: a palette index. 16 bits: 5-6-5. 24 bits: three bytes
// blue, green, red (little-endian 0xRRGGBB). 32 bits: 0x00RRGGBB.
struct PixelFormat {
    int bitsPerPixel = 32;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;

    // The format the display uses at that depth; masks are 0 at 8 bits.
    static PixelFormat ForDepth(int bitsPerPixel);
    int BytesPerPixel() const { return (bitsPerPixel + 7) / 8; }
    bool operator==(const PixelFormat&) const = default;
};

// 256 colours (0x00BBGGRR) that give meaning to the pixels of 8-bit surfaces.
struct Palette {
    COLORREF entries[256] = {};
    // The index whose colour is nearest to c (squared distance; the lowest index wins ties).
    std::uint8_t Nearest(COLORREF c) const;
};

// The colour (0x00BBGGRR) that a pixel value shows in a format: components widened to 8
// bits by repeating their top bits; at 8 bits the palette entry (black without a palette).
COLORREF ColorOfPixel(const PixelFormat& format, const COLORREF* palette, std::uint32_t pixel);

// Converts rows of pixels in `format` to 0xAARRGGBB with alpha 0xFF (pitches in bytes),
// for presentation and image files.
void ConvertToArgb(const PixelFormat& format, const COLORREF* palette, const std::uint8_t* src,
                   int srcPitch, int width, int height, std::uint32_t* dst, int dstPitch);

// Shows 0xAARRGGBB pixels (pitch in bytes) through a gamma ramp of 256 entries per channel:
// a component of value i becomes ramp[i] / 255, at most 255, so the identity ramp i × 255
// leaves every pixel as it is.
void ApplyGammaRamp(const std::uint16_t* red, const std::uint16_t* green, const std::uint16_t* blue,
                    std::uint32_t* argb, int width, int height, int pitch);

// A rectangle of pixels in memory: the back buffer and every off-screen image. All drawing
// of the runtime ends up in blits and fills between surfaces of the display's one format.
class Surface {
public:
    enum BlitFlags : unsigned {
        UseColorKey = 1,     // source pixels equal to the source's colour key are skipped
        MirrorLeftRight = 2, // the source is read right to left
        MirrorUpDown = 4,    // the source is read bottom to top
    };
    enum class Result { Ok, Lost, InvalidRect };

    Surface(int width, int height, const PixelFormat& format,
            std::shared_ptr<const Palette> palette = nullptr);

    int Width() const { return width; }
    int Height() const { return height; }
    // Bytes from one row to the next (at least width × bytes per pixel).
    int Pitch() const { return pitch; }
    const PixelFormat& Format() const { return format; }
    const std::shared_ptr<const Palette>& GetPalette() const { return palette; }
    void SetPalette(std::shared_ptr<const Palette> p) { palette = std::move(p); }

    std::uint8_t* Pixels() { return pixels.data(); }
    const std::uint8_t* Pixels() const { return pixels.data(); }
    std::uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * pitch; }
    const std::uint8_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * pitch; }

    // The pixel value of colour c: each component keeps its top bits; at 8 bits the nearest
    // palette entry, or the low byte of c without a palette.
    std::uint32_t MatchColor(COLORREF c) const;
    // The colour a pixel value shows (components widened by repeating their top bits).
    COLORREF ColorOf(std::uint32_t pixel) const;
    // Raw pixel values; outside the surface GetPixel gives 0 and PutPixel does nothing.
    std::uint32_t GetPixel(int x, int y) const;
    void PutPixel(int x, int y, std::uint32_t value);

    void SetColorKey(std::uint32_t pixel);
    void ClearColorKey() { keyed = false; }
    bool HasColorKey() const { return keyed; }
    std::uint32_t ColorKey() const { return colorKey; }

    // Colour fills, clipped to the surface.
    Result Fill(std::uint32_t pixel);
    Result Fill(const KivRect& area, std::uint32_t pixel);

    // Copies the rectangle `from` of `source` so that its top-left lands at (x, y). `from`
    // must lie inside the source (else InvalidRect and nothing is drawn); the destination
    // is clipped to this surface. Mirroring maps the whole of `from` onto the destination
    // before clipping, so a clipped mirrored copy shows the same pixels as an unclipped one
    // would at those places. Both surfaces must have the same format (else InvalidRect).
    Result Blit(int x, int y, const Surface& source, const KivRect& from, unsigned flags);

    // A lost surface refuses blits and fills (Lost) until Restore; its pixels are then
    // undefined. Loss only happens when the display simulates it.
    void Lose() { lost = true; }
    void Restore() { lost = false; }
    bool IsLost() const { return lost; }

private:
    int width;
    int height;
    int pitch;
    PixelFormat format;
    std::shared_ptr<const Palette> palette;
    std::vector<std::uint8_t> pixels;
    std::uint32_t colorKey = 0;
    bool keyed = false;
    bool lost = false;
};

} // namespace kiv
