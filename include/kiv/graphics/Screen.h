#pragma once

#include <kiv/base/Types.h>

// Writes single pixels into the back buffer with the rules of each display depth.
// Callers bracket their writes with Start and Stop.
class KIV_API Screen {
public:
    Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;
    ~Screen();

    // The current colour; at 8 bits per pixel also the nearest palette index.
    void Color(COLORREF c);
    void PaletteColor(unsigned char index);
    void Start();
    void Stop();
    // Always 0.
    COLORREF GetPixel(int x, int y);
    void SetPixel(int x, int y, COLORREF c);
    void SetPixel(int x, int y);
    void Rect(int x, int y, int width, int height, COLORREF c);
    // The rectangle's pixels written as SetPixel(x, y, c) writes each of them, in one fill.
    void SetPixels(int x, int y, int width, int height, COLORREF c);
    void PaletteRect(int x, int y, int width, int height, unsigned char index);

private:
    // The pixel value of colour c, or of palette index `index` at 8 bits per pixel.
    std::uint32_t Encode(COLORREF c, unsigned int index) const;
    void Write(int x, int y, COLORREF c, unsigned int index);
    void Fill(int x, int y, int width, int height, std::uint32_t value);

    unsigned int bitsPerPixel;
    unsigned int redShift, greenShift, blueShift;
    unsigned int redBits, greenBits, blueBits;
    COLORREF color;
    unsigned int paletteIndex;
};

extern KIV_API Screen* pScreen;

// The display mode, stored for the display and the window: width, height, bits per pixel.
KIV_API void SetMode(int width, int height, int depth);
