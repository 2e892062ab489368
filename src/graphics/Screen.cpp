#include <kiv/graphics/Screen.h>

#include "graphics/Display.h"

#include <bit>

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

void Screen::Write(int x, int y, COLORREF c, unsigned int index) {
    kiv::Surface* back = kiv::BackBuffer();
    if (!back || x < 0 || y < 0 || x >= back->Width() || y >= back->Height())
        return;
    std::uint32_t r = c & 0xFF, g = c >> 8 & 0xFF, b = c >> 16 & 0xFF;
    std::uint32_t value;
    switch (bitsPerPixel) {
    case 8:
        value = index & 0xFF;
        break;
    case 16:
        value = ((r << redBits) >> 8) << redShift | ((g << greenBits) >> 8) << greenShift |
                ((b << blueBits) >> 8) << blueShift;
        break;
    default: // 24 and 32: whole bytes; at 24 bits the byte after the pixel is left alone
        value = r << redShift | g << greenShift | b << blueShift;
        break;
    }
    back->PutPixel(x, y, value);
}

void Screen::SetPixel(int x, int y, COLORREF c) {
    Write(x, y, c, c & 0xFF);
}

void Screen::SetPixel(int x, int y) {
    Write(x, y, color, paletteIndex);
}

void Screen::Rect(int x, int y, int width, int height, COLORREF c) {
    Color(c);
    for (int row = y; row < y + height; ++row)
        for (int col = x; col < x + width; ++col)
            SetPixel(col, row);
}

void Screen::PaletteRect(int x, int y, int width, int height, unsigned char index) {
    PaletteColor(index);
    for (int row = y; row < y + height; ++row)
        for (int col = x; col < x + width; ++col)
            SetPixel(col, row);
}
