#pragma once

// Bounds on the values that game data may hold. The runtime's readers refuse anything beyond
// them, and kivc refuses the same values in a description, so that every description kivc
// accepts builds a game that the runtime can hold.

namespace kiv {

// The largest image a surface is made for: each side, and all of its pixels (256 MB at 32
// bits a pixel).
constexpr long long MaxImageSide = 32768;
constexpr long long MaxImagePixels = 1LL << 26;

// An image that a surface can hold: at least one pixel, within both bounds.
constexpr bool ImageFits(long long width, long long height) {
    return width > 0 && height > 0 && width <= MaxImageSide && height <= MaxImageSide &&
           width * height <= MaxImagePixels;
}

// An actor frame's size: none (0) or an image a surface can hold.
constexpr bool FrameSizeFits(long long width, long long height) {
    return (width == 0 && height >= 0 && height <= MaxImageSide) ||
           (height == 0 && width >= 0 && width <= MaxImageSide) || ImageFits(width, height);
}

// Positions, extents, speeds and margins: far beyond any world, yet small enough that floats
// hold them to the pixel and sums of a few of them stay within 32 bits.
constexpr int MaxCoordinate = 1 << 24;

// False for NaN and the infinities too.
constexpr bool IsCoordinate(double v) {
    return v >= -MaxCoordinate && v <= MaxCoordinate;
}

// The particles of all the particle systems of a level together.
constexpr unsigned int MaxParticles = 1u << 18;

// The stations of one path network: its distance tables grow with their square.
constexpr int MaxStations = 1024;

} // namespace kiv
