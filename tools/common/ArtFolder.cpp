#include "ArtFolder.h"

#include "GameData.h"

#include <cstdint>
#include <cstring>

namespace kiv::tools {

namespace fs = std::filesystem;

namespace {

std::uint32_t Little32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

std::uint32_t Big32(const unsigned char* p) {
    return std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

void CompleteFrame(Json& frame, const fs::path& actors, const std::string& path) {
    if (frame.contains("width") && frame.contains("height") && frame.contains("boundingBox"))
        return;
    if (!frame.contains("image") || !frame["image"].is_string())
        throw DataError(path + ".image: expected the frame's image file name");
    std::string name = frame["image"].get<std::string>();
    fs::path file = FindBeside(actors, StoredFileName(name));
    if (file.empty())
        throw DataError(path + ".image: " + name + " is not in " + actors.string());
    ImageSize size;
    try {
        size = ReadImageSize(file);
    } catch (const DataError& e) {
        throw DataError(path + ".image: " + e.what());
    }
    if (!frame.contains("width"))
        frame["width"] = size.width;
    if (!frame.contains("height"))
        frame["height"] = size.height;
    if (!frame.contains("boundingBox"))
        frame["boundingBox"] = {{"left", 0},
                                {"top", 0},
                                {"right", frame["width"].get<int>() - 1},
                                {"bottom", frame["height"].get<int>() - 1}};
}

} // namespace

ImageSize ReadImageSize(const fs::path& image) {
    std::vector<unsigned char> bytes = ReadFile(image);
    const unsigned char* p = bytes.data();
    static const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 26 && p[0] == 'B' && p[1] == 'M') {
        auto height = static_cast<std::int32_t>(Little32(p + 22));
        return {static_cast<int>(Little32(p + 18)), height < 0 ? -height : height};
    }
    if (bytes.size() >= 24 && std::memcmp(p, png, sizeof png) == 0)
        return {static_cast<int>(Big32(p + 16)), static_cast<int>(Big32(p + 20))};
    throw DataError(image.string() + " is neither a BMP nor a PNG image");
}

void CompleteFramesFromArt(Json& actors, const fs::path& artFolder, const std::string& path) {
    fs::path folder = artFolder / "Art Assets" / "Actors";
    if (!actors.contains("actors"))
        return;
    Json& list = actors["actors"];
    for (size_t a = 0; a < list.size(); ++a) {
        if (!list[a].contains("animations"))
            continue;
        Json& animations = list[a]["animations"];
        for (size_t n = 0; n < animations.size(); ++n) {
            if (!animations[n].contains("frames") || !animations[n]["frames"].is_array())
                continue;
            Json& frames = animations[n]["frames"];
            for (size_t f = 0; f < frames.size(); ++f)
                CompleteFrame(frames[f], folder,
                              path + ".actors[" + std::to_string(a) + "].animations[" +
                                  std::to_string(n) + "].frames[" + std::to_string(f) + "]");
        }
    }
}

} // namespace kiv::tools
