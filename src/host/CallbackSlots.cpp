#include "host/CallbackSlots.h"

#include <kiv/data/Builders.h>
#include <kiv/data/GameFiles.h>
#include <kiv/host/Host.h>

namespace kiv {

namespace {

void Nothing() {}
void NothingWithFile(File&) {}

void ReadModeRecord() {
    GenerateMode();
}

// The game file holds the game record and then the logic record.
void ReadGameRecords() {
    GenerateLevels();
    GenerateLogic();
}

template <class Slot>
void Default(Slot& slot, Slot fallback) {
    if (!slot)
        slot = fallback;
}

} // namespace

void FillEmptySlots() {
    Default(SetDataPathP, Nothing);
    Default(LoadGameFileP, Nothing);
    Default(ModeP, ReadModeRecord);
    Default(BuildLogicP, Nothing);
    Default(KivP, ReadGameRecords);
    Default(OnGameStartP, Nothing);
    Default(OnGameEndP, Nothing);
    Default(OnSaveP, NothingWithFile);
    Default(OnLoadP, NothingWithFile);
}

const char* SlotWithoutDefault() {
    if (_GameFile)
        return nullptr;
    if (ModeP == ReadModeRecord)
        return "ModeP";
    if (KivP == ReadGameRecords)
        return "KivP";
    return nullptr;
}

} // namespace kiv
