#include "platform/Platform.h"

#include <strings.h>

namespace kiv::platform {

Resources& Resources::Instance() {
    static Resources registry;
    return registry;
}

void Resources::Register(const KivResource* table, int count) {
    for (int i = 0; table && i < count; ++i)
        if (table[i].type && table[i].name && (table[i].data || table[i].size == 0))
            entries.push_back(&table[i]);
}

const KivResource* Resources::Find(const char* type, const char* name) const {
    if (!type || !name)
        return nullptr;
    for (const KivResource* r : entries)
        if (strcasecmp(r->type, type) == 0 && strcasecmp(r->name, name) == 0)
            return r;
    return nullptr;
}

void Resources::Clear() {
    entries.clear();
}

} // namespace kiv::platform

void KivRegisterResources(const KivResource* resources, int count) {
    kiv::platform::Resources::Instance().Register(resources, count);
}
