#pragma once

// Small media files built in memory: RIFF WAVE, Standard MIDI File and BMP, for tests and
// fuzz targets that need valid files of each kind (or a valid file to damage).

#include <cstdint>
#include <vector>

namespace kiv::test {

using Bytes = std::vector<unsigned char>;

inline void Put16(Bytes& b, unsigned v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

inline void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

inline void PutBe32(Bytes& b, std::uint32_t v) {
    for (int i = 3; i >= 0; --i)
        b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

inline void PutId(Bytes& b, const char* id) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>(id[i]));
}

// A RIFF WAVE file of PCM data (little-endian samples, as stored).
inline Bytes Wave(unsigned rate, unsigned bits, unsigned channels, const Bytes& data) {
    unsigned blockAlign = channels * bits / 8;
    Bytes b;
    PutId(b, "RIFF");
    Put32(b, static_cast<std::uint32_t>(4 + 8 + 16 + 8 + data.size() + (data.size() & 1)));
    PutId(b, "WAVE");
    PutId(b, "fmt ");
    Put32(b, 16);
    Put16(b, 1);
    Put16(b, channels);
    Put32(b, rate);
    Put32(b, rate * blockAlign);
    Put16(b, blockAlign);
    Put16(b, bits);
    PutId(b, "data");
    Put32(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    if (data.size() & 1)
        b.push_back(0);
    return b;
}

// A format-0 file at 96 ticks a quarter note and 120 quarter notes a minute: a piano note
// on every quarter note for `quarters` quarter notes.
inline Bytes Tune(int quarters) {
    Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, // tempo 500000
                   0x00, 0xC0, 0x00};                        // piano
    for (int q = 0; q < quarters; ++q) {
        auto note = static_cast<unsigned char>(60 + q % 12);
        track.insert(track.end(), {0x00, 0x90, note, 100, 0x50, 0x80, note, 0x40});
        track.insert(track.end(), {0x10});             // the rest of the quarter note...
        track.insert(track.end(), {0xFF, 0x01, 0x00}); // ...ends with an empty text event
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    Bytes b = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k'};
    PutBe32(b, static_cast<std::uint32_t>(track.size()));
    b.insert(b.end(), track.begin(), track.end());
    return b;
}

// A 24-bit BMP whose pixels are colour(x, y) (0x00BBGGRR), rows stored bottom up.
template <class F>
Bytes Bmp(int width, int height, F colour) {
    const unsigned rowBytes = (static_cast<unsigned>(width) * 3 + 3) & ~3u;
    const unsigned pixels = rowBytes * static_cast<unsigned>(height);
    Bytes b = {'B', 'M'};
    Put32(b, 54 + pixels);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<std::uint32_t>(width));
    Put32(b, static_cast<std::uint32_t>(height));
    Put16(b, 1);
    Put16(b, 24);
    for (int i = 0; i < 6; ++i)
        Put32(b, 0); // no compression, sizes and colour counts left to the reader
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            std::uint32_t c = colour(x, y);
            b.insert(b.end(), {static_cast<unsigned char>(c >> 16),
                               static_cast<unsigned char>(c >> 8), static_cast<unsigned char>(c)});
        }
        b.resize(b.size() + rowBytes - static_cast<unsigned>(width) * 3, 0);
    }
    return b;
}

} // namespace kiv::test
