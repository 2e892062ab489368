#include <kiv/Kiv.h>

#include "Scratch.h"

#include <string>
#include <vector>

namespace {

// A persisted node with a name, registered like the library's own classes.
class Tagged : public node {
public:
    explicit Tagged(const char* t = "") : tag(t) {}
    node* Clone() override { return new Tagged(tag); }
    void Save(File& f) override { tag.Save(f); }
    void Load(File& f) override { tag.Load(f); }
    const char* ClassName() override { return "Tagged"; }
    String tag;
};

CREATE taggedClass("Tagged", [] { return static_cast<node*>(new Tagged); });

std::string Walk(const List& list) {
    std::string out;
    for (node* n = list.Head(); !n->EOList(); n = n->Next())
        out += static_cast<Tagged*>(n)->tag;
    return out;
}

std::string WalkBackwards(const List& list) {
    std::string out;
    for (node* n = list.Sentinel()->Previous(); n != list.Sentinel(); n = n->Previous())
        out += static_cast<Tagged*>(n)->tag;
    return out;
}

} // namespace

TEST(List, AddPutsAtTheFrontAndInsertKeepsBothDirectionsConsistent) {
    List list;
    EXPECT_EQ(list.Head(), list.Sentinel());
    EXPECT_TRUE(list.Sentinel()->EOList());

    auto* a = new Tagged("a");
    auto* b = new Tagged("b");
    auto* c = new Tagged("c");
    list.add(a);
    list.add(b);
    list.add(c);
    EXPECT_EQ(Walk(list), "cba");

    list.add(new Tagged("d"), list.Sentinel()); // append
    list.add(new Tagged("e"), a);               // in front of a
    list.add(new Tagged("f"), c);               // in front of the head: new head
    EXPECT_EQ(Walk(list), "fcbead");
    EXPECT_EQ(WalkBackwards(list), "daebcf");
    EXPECT_EQ(list.Count(), 6);

    list.remove(b);
    EXPECT_EQ(Walk(list), "fcead");
    EXPECT_EQ(b->Next(), nullptr);
    delete b;
    list.del(list.Head());
    list.del(list.Sentinel()->Previous());
    EXPECT_EQ(Walk(list), "cea");
    EXPECT_EQ(WalkBackwards(list), "aec");
    EXPECT_EQ(list.Count(), 3);

    list.del();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Head(), list.Sentinel());
    EXPECT_EQ(list.Sentinel()->Previous(), list.Sentinel());
}

TEST(List, CopiesCloneEveryNodeInOrder) {
    List source;
    for (const char* t : {"x", "y", "z"})
        source.add(new Tagged(t));
    List copy(source);
    EXPECT_EQ(Walk(copy), "zyx");
    EXPECT_NE(copy.Head(), source.Head());

    List other;
    other.add(new Tagged("old"));
    other = source;
    EXPECT_EQ(Walk(other), "zyx");
    List& same = other;
    other = same;
    EXPECT_EQ(Walk(other), "zyx");

    node* cloned = source.Clone();
    EXPECT_EQ(Walk(*static_cast<List*>(cloned)), "zyx");
    delete cloned;
}

class ListFile : public kiv::test::Scratch {};

TEST_F(ListFile, SaveAndLoadKeepTheWalk) {
    {
        List list;
        for (const char* t : {"a", "b", "c"})
            list.add(new Tagged(t));
        File out("list.bin", File::Writing);
        list.Save(out);
    }
    // The record lists the last node of the walk first.
    std::vector<unsigned char> bytes = ReadBytes("list.bin");
    ASSERT_GE(bytes.size(), 4u + 32u + 4u + 4u + 1u);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[4])), "Tagged");
    EXPECT_EQ(bytes[4 + 32 + 4 + 4], 'a');

    List loaded;
    File in("list.bin", File::Reading);
    loaded.Load(in);
    EXPECT_EQ(Walk(loaded), "cba");
    EXPECT_EQ(loaded.Count(), 3);
}

TEST_F(ListFile, AnObjectNamedTwiceInOneListIsLinkedOnce) {
    {
        Tagged shared("s");
        File out("twice.bin", File::Writing);
        out.Write(2u);
        out.Write(&shared);
        out.Write(&shared);
    }
    List loaded;
    File in("twice.bin", File::Reading);
    loaded.Load(in);
    EXPECT_EQ(loaded.Count(), 1);
    EXPECT_EQ(Walk(loaded), "s");
}
