#include <kiv/data/File.h>
#include <kiv/logic/Behavior.h>

#include "data/BehaviorList.h"

namespace kiv {

void ReadBehaviorList(File& file, Behavior& behavior) {
    int n = 0;
    file.Read(n);
    if (n < 0)
        n = 0;
    file.Require(static_cast<long>(n) * 4); // damaged counts end at the fatal exit
    for (int i = 0; i < n; ++i) {
        int kind = 0;
        file.Read(kind);
        if (kind < 0 || kind > 2)
            continue;
        unsigned int index = 0;
        bool active = false;
        file.Read(index);
        file.Read(active);
        AddBehaviorItem(behavior, kind, index, active);
    }
}

void AddBehaviorItem(Behavior& behavior, int kind, unsigned int index, bool active) {
    if (kind == 0)
        behavior.AddFunction(index, active);
    else if (kind == 1)
        behavior.AddStateMachine(index, active);
    else if (kind == 2)
        behavior.AddTimer(index, active);
}

} // namespace kiv
