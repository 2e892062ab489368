#include "host/FrameHashes.h"

#include <kiv/game/Game.h>

#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"

#include <cinttypes>
#include <cstdio>

namespace kiv {

namespace {

std::FILE* hashes = nullptr;
unsigned long played = 0;

std::uint32_t Fnv1a(const Surface& s) {
    std::uint32_t h = 2166136261u;
    size_t rowBytes = static_cast<size_t>(s.Width()) * s.Format().BytesPerPixel();
    for (int y = 0; y < s.Height(); ++y)
        for (const std::uint8_t* p = s.Row(y); p != s.Row(y) + rowBytes; ++p)
            h = (h ^ *p) * 16777619u;
    return h;
}

} // namespace

void OpenFrameHashes(const std::string& path) {
    played = 0;
    hashes = path.empty() ? nullptr : std::fopen(path.c_str(), "w");
}

void RecordFrameHash() {
    const Surface* back = BackBuffer();
    if (!hashes || !back || GamePaused || WaitingForPlayers || myGame->LevelChangePending())
        return;
    std::fprintf(hashes, "%lu %08" PRIx32 "\n", ++played, Fnv1a(*back));
}

void CloseFrameHashes() {
    if (hashes)
        std::fclose(hashes);
    hashes = nullptr;
}

} // namespace kiv
