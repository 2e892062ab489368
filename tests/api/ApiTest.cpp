// Uses the library as a game executable does: <kiv/Kiv.h> and libKivCore.so, nothing else.
#include <kiv/Kiv.h>

#include <gtest/gtest.h>

#include <fstream>

extern const KivResource gameResources[];
extern const int gameResourceCount;

TEST(Api, EmbeddedResourceIsReadBeforeDiskFileOfTheSameName) {
    // The working folder holds a disk file "embedded.dat" with other bytes.
    {
        std::ofstream disk("embedded.dat", std::ios::binary);
        disk << "disk";
    }
    KivRegisterResources(gameResources, gameResourceCount);
    File file("EMBEDDED.DAT", File::Reading);
    char text[23] = {};
    file.Read(text, 22);
    EXPECT_STREQ(text, "embedded resource byte");
    EXPECT_EQ(file.Size(), 24);
}

TEST(Api, ExportedToolkitWorksThroughTheSharedLibrary) {
    List list;
    list.add(new Random);
    EXPECT_EQ(list.Count(), 1);
    String a("kiv");
    EXPECT_TRUE(a + "core" == "kivcore");
    RandReset(1);
    EXPECT_EQ(RandInt(0), 0);
    node* made = CreateObject("Random");
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->ClassName(), "Random");
    delete made;
}
