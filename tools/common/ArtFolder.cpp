#include "ArtFolder.h"

#include "GameData.h"

#include "data/DataLimits.h"
#include "platform/ImageHeader.h"

namespace kiv::tools {

namespace fs = std::filesystem;

namespace {

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
    platform::ImageHeader header = platform::ReadImageHeader(bytes.data(), bytes.size());
    if (header.kind == platform::ImageHeader::None)
        throw DataError(image.string() + " is not a BMP, PNG, GIF or JPEG image");
    if (!ImageFits(header.width, header.height))
        throw DataError(image.string() + ": its header gives " + std::to_string(header.width) +
                        " x " + std::to_string(header.height) +
                        " pixels; an image has at least one pixel, at most " +
                        std::to_string(MaxImageSide) + " on a side and " +
                        std::to_string(MaxImagePixels) + " in all");
    return {static_cast<int>(header.width), static_cast<int>(header.height)};
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
