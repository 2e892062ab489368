#pragma once

#include <kiv/base/Types.h>

#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace kiv::test {

// Writes a 24-bit image file whose pixels are colour(x, y) (0x00BBGGRR), making its folder.
template <class F>
void WriteImage(const std::string& path, int w, int h, F colour) {
    if (auto parent = std::filesystem::path(path).parent_path(); !parent.empty())
        std::filesystem::create_directories(parent);
    platform::Image image;
    image.width = w;
    image.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            COLORREF c = colour(x, y);
            image.argb.push_back(0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
        }
    ASSERT_TRUE(platform::ImageCodec::WriteBmp(path.c_str(), image));
}

// A w × h image of one colour.
inline void WriteSolidImage(const std::string& path, int w, int h, COLORREF colour) {
    WriteImage(path, w, h, [colour](int, int) { return colour; });
}

} // namespace kiv::test
