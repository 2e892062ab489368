#pragma once

#include <kiv/Export.h>

#include <cstdint>

// Handles of the window system, as games pass them around; opaque here.
typedef void* HWND;
typedef void* HINSTANCE;

// A 128-bit identifier (a game's network session identifier), in the window system's layout.
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

// Colour value 0x00BBGGRR: red in the low byte.
typedef std::uint32_t COLORREF;

// Four signed 32-bit integers; right and bottom are exclusive in point tests.
struct KivRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// Rectangle of the window system, with the same layout as KivRect.
struct tagRECT {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

// Floating rectangle; the member order is also the order in files.
struct FRECT {
    float top;
    float left;
    float bottom;
    float right;
};

// A point in floats: station positions, steps of the viewport.
struct Position {
    float x;
    float y;
};

struct KivPoint {
    int x;
    int y;
};

// The empty rectangle, passed as the default frame when maps are made.
extern KIV_API KivRect zrect;
