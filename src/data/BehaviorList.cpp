#include <kiv/data/File.h>
#include <kiv/logic/Behavior.h>

#include "data/BehaviorList.h"
#include "data/RecordReading.h"

namespace kiv {

void ReadBehaviorList(File& file, Behavior& behavior) {
    int n = GetCount(file, 4);
    for (int i = 0; i < n; ++i) {
        int kind = Get<int>(file);
        if (kind < 0 || kind > 2)
            continue;
        auto index = Get<unsigned int>(file);
        bool active = Get<bool>(file);
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
