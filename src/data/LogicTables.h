#pragma once

namespace kiv {

// Entry i of a pointer table; null when i is negative or past the end of a table that
// NewVoidPointers or NewNodePointers made.
void* PointerEntry(void** table, long long i);
// Frees every logic table and resets the highest indices (shutdown).
void FreeLogicTables();

} // namespace kiv
