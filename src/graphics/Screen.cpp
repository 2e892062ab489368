#include <kiv/graphics/Screen.h>

#include "graphics/Display.h"

#include <algorithm>
#include <bit>
#include <climits>

Screen* pScreen = nullptr;

namespace {

unsigned int Shift(std::uint32_t mask) {
    return mask ? std::countr_zero(mask) : 0;
}
unsigned int Bits(std::uint32_t mask) {
    return std::popcount(mask);
}

} // namespace

Screen::Screen()
    : bitsPerPixel(0), redShift(0), greenShift(0), blueShift(0), redBits(0), greenBits(0),
      blueBits(0), color(0), paletteIndex(0) {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back)
        return;
    const kiv::PixelFormat& f = back->Format();
    bitsPerPixel = static_cast<unsigned int>(f.bitsPerPixel);
    if (bitsPerPixel > 8) {
        redShift = Shift(f.redMask), redBits = Bits(f.redMask);
        greenShift = Shift(f.greenMask), greenBits = Bits(f.greenMask);
        blueShift = Shift(f.blueMask), blueBits = Bits(f.blueMask);
    } else if (back->GetPalette()) {
        paletteIndex = back->GetPalette()->Nearest(0);
    }
}

Screen::~Screen() = default;

void Screen::Color(COLORREF c) {
    color = c;
    kiv::Surface* back = kiv::BackBuffer();
    if (bitsPerPixel == 8 && back && back->GetPalette())
        paletteIndex = back->GetPalette()->Nearest(c);
}

void Screen::PaletteColor(unsigned char index) {
    paletteIndex = index;
}

// Our surfaces are always addressable; the bracket is kept for the games that use it.
void Screen::Start() {}
void Screen::Stop() {}

COLORREF Screen::GetPixel(int, int) {
    return 0;
}

std::uint32_t Screen::Encode(COLORREF c, unsigned int index) const {
    std::uint32_t r = c & 0xFF, g = c >> 8 & 0xFF, b = c >> 16 & 0xFF;
    switch (bitsPerPixel) {
    case 8:
        return index & 0xFF;
    case 16:
        return ((r << redBits) >> 8) << redShift | ((g << greenBits) >> 8) << greenShift |
               ((b << blueBits) >> 8) << blueShift;
    default: // 24 and 32: whole bytes; at 24 bits the byte after the pixel is left alone
        return r << redShift | g << greenShift | b << blueShift;
    }
}

void Screen::Write(int x, int y, COLORREF c, unsigned int index) {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back || x < 0 || y < 0 || x >= back->Width() || y >= back->Height())
        return;
    back->PutPixel(x, y, Encode(c, index));
}

// The rectangle in one pixel value, clipped to the back buffer.
void Screen::Fill(int x, int y, int width, int height, std::uint32_t value) {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back || width <= 0 || height <= 0)
        return;
    auto end = [](int from, int size) {
        return static_cast<int>(std::min<long long>(static_cast<long long>(from) + size, INT_MAX));
    };
    back->Fill(KivRect{x, y, end(x, width), end(y, height)}, value);
}

void Screen::SetPixel(int x, int y, COLORREF c) {
    Write(x, y, c, c & 0xFF);
}

void Screen::SetPixel(int x, int y) {
    Write(x, y, color, paletteIndex);
}

void Screen::Rect(int x, int y, int width, int height, COLORREF c) {
    Color(c);
    Fill(x, y, width, height, Encode(color, paletteIndex));
}

void Screen::SetPixels(int x, int y, int width, int height, COLORREF c) {
    if (width == 1 && height == 1) // the common particle: a fill would cost more than it
        Write(x, y, c, c & 0xFF);
    else
        Fill(x, y, width, height, Encode(c, c & 0xFF));
}

void Screen::PaletteRect(int x, int y, int width, int height, unsigned char index) {
    PaletteColor(index);
    Fill(x, y, width, height, Encode(color, paletteIndex));
}
