#include "data/DataLimits.h"
#include "platform/GifDecoder.h"
#include "platform/ImageHeader.h"
#include "platform/Platform.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <cstring>

namespace kiv::platform {

namespace {

bool FromSurface(SDL_Surface* loaded, Image& out) {
    if (!loaded)
        return false;
    if (!ImageFits(loaded->w, loaded->h)) {
        SDL_FreeSurface(loaded);
        return false;
    }
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    if (!argb)
        return false;
    out.width = argb->w;
    out.height = argb->h;
    out.argb.resize(static_cast<size_t>(argb->w) * argb->h);
    for (int y = 0; y < argb->h; ++y)
        std::memcpy(&out.argb[static_cast<size_t>(y) * argb->w],
                    static_cast<const std::uint8_t*>(argb->pixels) + y * argb->pitch,
                    static_cast<size_t>(argb->w) * 4);
    SDL_FreeSurface(argb);
    return true;
}

// A surface over the image's own pixels (no copy).
SDL_Surface* Wrap(const Image& image) {
    return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(image.argb.data()),
                                              image.width, image.height, 32, image.width * 4,
                                              SDL_PIXELFORMAT_ARGB8888);
}

template <class Save>
bool Write(const Image& image, SDL_PixelFormatEnum format, Save save) {
    if (image.width <= 0 || image.height <= 0 ||
        image.argb.size() < static_cast<size_t>(image.width) * image.height)
        return false;
    SDL_Surface* wrapped = Wrap(image);
    if (!wrapped)
        return false;
    SDL_Surface* converted = SDL_ConvertSurfaceFormat(wrapped, format, 0);
    SDL_FreeSurface(wrapped);
    if (!converted)
        return false;
    bool ok = save(converted) == 0;
    SDL_FreeSurface(converted);
    return ok;
}

} // namespace

// Only the formats games use are decoded, and only after their header has shown a size that
// a surface can hold: a decoder never gets to allocate for a damaged header.
bool ImageCodec::Decode(const void* data, std::size_t size, Image& out) {
    if (!data || size == 0 || size > 0x7FFFFFFF)
        return false;
    auto bytes = static_cast<const unsigned char*>(data);
    ImageHeader header = ReadImageHeader(bytes, size);
    if (header.kind == ImageHeader::None || !ImageFits(header.width, header.height) ||
        (header.kind == ImageHeader::Png && !PngChunksFit(bytes, size)))
        return false;
    if (header.kind == ImageHeader::Gif)
        return DecodeGif(bytes, size, out);
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    if (!rw)
        return false;
    SDL_Surface* loaded = header.kind == ImageHeader::Bmp   ? IMG_LoadBMP_RW(rw)
                          : header.kind == ImageHeader::Png ? IMG_LoadPNG_RW(rw)
                                                            : IMG_LoadJPG_RW(rw);
    SDL_RWclose(rw);
    return FromSurface(loaded, out);
}

bool ImageCodec::DecodeFile(const char* path, Image& out) {
    std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file)
        return false;
    std::vector<unsigned char> bytes;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    // An uncompressed image of the largest size a surface holds, with room for its header.
    bool ok = size > 0 && size <= 4 * MaxImagePixels + 65536 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok && Decode(bytes.data(), bytes.size(), out);
}

bool ImageCodec::WritePng(const char* path, const Image& image) {
    return Write(image, SDL_PIXELFORMAT_ARGB8888,
                 [&](SDL_Surface* s) { return IMG_SavePNG(s, path); });
}

bool ImageCodec::WriteJpeg(const char* path, const Image& image, int quality) {
    return Write(image, SDL_PIXELFORMAT_RGB24,
                 [&](SDL_Surface* s) { return IMG_SaveJPG(s, path, quality); });
}

bool ImageCodec::WriteBmp(const char* path, const Image& image) {
    return Write(image, SDL_PIXELFORMAT_BGR24,
                 [&](SDL_Surface* s) { return SDL_SaveBMP(s, path); });
}

} // namespace kiv::platform
