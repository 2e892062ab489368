#pragma once

namespace kiv {

// Gives every callback slot that the game left empty its default, so that no slot is ever
// called empty: SetDataPathP, LoadGameFileP, BuildLogicP, OnGameStartP, OnGameEndP, OnSaveP
// and OnLoadP do nothing; ModeP reads the mode record and KivP the game and logic records
// of the game file that LoadGameFileP opened.
void FillEmptySlots();

// Once LoadGameFileP has run: the slot whose default has nothing to work with (ModeP or KivP
// left empty while no game file is open), or null.
const char* SlotWithoutDefault();

} // namespace kiv
