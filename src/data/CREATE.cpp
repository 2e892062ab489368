#include <kiv/data/CREATE.h>

#include <cstring>
#include <vector>

namespace {

std::vector<const CREATE*>& Registry() {
    static std::vector<const CREATE*> registry = [] {
        std::vector<const CREATE*> r;
        r.reserve(128);
        return r;
    }();
    return registry;
}

} // namespace

CREATE::CREATE(const char* className, Factory f) : name(className), factory(f) {
    Registry().push_back(this);
}

CREATE::Factory CREATE::Find(const char* className) {
    if (!className)
        return nullptr;
    for (const CREATE* c : Registry())
        if (c->name == className)
            return c->factory;
    return nullptr;
}
