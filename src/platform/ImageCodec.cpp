#include "platform/Platform.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>

namespace kiv::platform {

namespace {

bool FromSurface(SDL_Surface* loaded, Image& out) {
    if (!loaded)
        return false;
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

bool ImageCodec::Decode(const void* data, std::size_t size, Image& out) {
    if (!data || size == 0 || size > 0x7FFFFFFF)
        return false;
    SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
    return rw && FromSurface(IMG_Load_RW(rw, 1), out);
}

bool ImageCodec::DecodeFile(const char* path, Image& out) {
    return path && FromSurface(IMG_Load(path), out);
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
