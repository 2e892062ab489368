#include <kiv/Kiv.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct Thing {
    const char* name;
    static Thing* Search(const char* n);
};

Thing known{"known"};
Thing fallback{"fallback"};

Thing* Thing::Search(const char* n) {
    return std::strcmp(n, known.name) == 0 ? &known : nullptr;
}

class ThingPTR : public kiv::Handle<Thing, ThingPTR> {
public:
    using Handle::Handle;
    using Handle::operator=;
    static Thing* Fallback() { return &fallback; }
};

} // namespace

TEST(Handle, NeverNull) {
    EXPECT_EQ(static_cast<Thing*>(ThingPTR()), &fallback);
    EXPECT_EQ(static_cast<Thing*>(ThingPTR(static_cast<Thing*>(nullptr))), &fallback);
    EXPECT_EQ(static_cast<Thing*>(ThingPTR(static_cast<const char*>(nullptr))), &fallback);
    EXPECT_EQ(static_cast<Thing*>(ThingPTR("unknown")), &fallback);

    ThingPTR h("known");
    EXPECT_STREQ(h->name, "known");
    EXPECT_EQ(&*h, &known);
    h = static_cast<Thing*>(nullptr); // keeps its object
    EXPECT_EQ(static_cast<Thing*>(h), &known);
    h = &fallback;
    EXPECT_EQ(static_cast<Thing*>(h), &fallback);
}
