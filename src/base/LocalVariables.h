#pragma once

class node;

namespace kiv {

// Replaces `slot` by a clone of the game's local-variable prototype NArray[index]; false
// (and nothing changes) when the index is past maxNIndex.
bool AddLocalVariable(node*& slot, unsigned int index);

} // namespace kiv
