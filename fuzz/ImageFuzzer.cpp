// libFuzzer target: images as the runtime loads them for maps and actor frames: the header
// check, the decoder, the conversion into a surface of the display's depth and a mirrored,
// colour-keyed copy. The first byte chooses the depth and the transparent colour.
#include <kiv/Kiv.h>

#include "FuzzSupport.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"
#include "platform/ImageHeader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kiv::fuzz::Start();
    if (size == 0)
        return 0;
    static const int depths[] = {8, 16, 24, 32};
    SetMode(64, 64, depths[data[0] & 3]);
    COLORREF transparent = data[0] & 4 ? 0xFF00 : 0;
    // A few bytes of PNG may decode to millions of pixels. Inputs whose header claims more
    // than a million are skipped: decoding them would only slow the search (the refusal of
    // sizes no surface holds is tested with the graphics tests).
    kiv::platform::ImageHeader header = kiv::platform::ReadImageHeader(data + 1, size - 1);
    constexpr long long Budget = 1 << 20; // pixels
    if (header.width > Budget || header.height > Budget || header.width * header.height > Budget)
        return 0;
    const KivResource image = {"BITMAP", "fuzz.img", data + 1, size - 1};
    kiv::fuzz::RunOne([&] {
        KivRegisterResources(&image, 1);
        std::unique_ptr<kiv::Surface> surface = kiv::LoadImageSurface("fuzz.img", transparent);
        if (!surface)
            return;
        kiv::Surface copy(surface->Width(), surface->Height(), surface->Format(),
                          surface->GetPalette());
        KivRect whole = {0, 0, surface->Width(), surface->Height()};
        copy.Blit(0, 0, *surface, whole,
                  kiv::Surface::UseColorKey | kiv::Surface::MirrorLeftRight |
                      kiv::Surface::MirrorUpDown);
    });
    return 0;
}
