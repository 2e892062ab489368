#include "host/FrameHashes.h"

#include <kiv/game/Game.h>

#include "base/Fnv1a.h"
#include "game/LoopGlobals.h"
#include "graphics/Display.h"
#include "graphics/Surface.h"

#include <cinttypes>
#include <cstdio>

namespace kiv {

namespace {

std::FILE* hashes = nullptr;
unsigned long played = 0;

std::uint32_t FrameHash(const Surface& s) {
    std::uint32_t h = Fnv1aStart;
    size_t rowBytes = static_cast<size_t>(s.Width()) * s.Format().BytesPerPixel();
    for (int y = 0; y < s.Height(); ++y)
        h = Fnv1a(s.Row(y), rowBytes, h);
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
    std::fprintf(hashes, "%lu %08" PRIx32 "\n", ++played, FrameHash(*back));
}

void CloseFrameHashes() {
    if (hashes)
        std::fclose(hashes);
    hashes = nullptr;
}

} // namespace kiv
