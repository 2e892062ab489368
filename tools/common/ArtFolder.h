#pragma once

#include "Layout.h"

#include <filesystem>
#include <string>

namespace kiv::tools {

// Width and height of a BMP, PNG, GIF or JPEG image, read from its header; an image whose
// header gives a size no surface can hold is refused.
struct ImageSize {
    int width = 0;
    int height = 0;
};
ImageSize ReadImageSize(const std::filesystem::path& image);

// Completes the frames of an actor record from the images in the game's art folder
// ("Art Assets/Actors" below `artFolder`): a frame without "width" and "height" takes the
// image's, and one without "boundingBox" the whole image. `path` names the record in errors.
void CompleteFramesFromArt(Json& actors, const std::filesystem::path& artFolder,
                           const std::string& path);

} // namespace kiv::tools
