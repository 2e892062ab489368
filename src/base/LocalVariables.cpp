#include "base/LocalVariables.h"

#include <kiv/base/node.h>
#include <kiv/data/Builders.h>

namespace kiv {

bool AddLocalVariable(node*& slot, unsigned int index) {
    if (static_cast<long long>(index) > maxNIndex || !NArray)
        return false;
    node* prototype = NArray[index];
    delete slot;
    slot = prototype ? prototype->Clone() : nullptr;
    return true;
}

} // namespace kiv
