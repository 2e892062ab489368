#include "Scratch.h"
#include "platform/FileInstanceLock.h"
#include "platform/headless/HeadlessPlatform.h"

using kiv::platform::FileInstanceLock;

class Headless : public kiv::test::Scratch {};

TEST_F(Headless, VirtualClockWaitsInstantlyAndSurvivesTheWrap) {
    auto& p = static_cast<kiv::platform::headless::HeadlessPlatform&>(kiv::platform::Current());
    EXPECT_STREQ(p.Name(), "headless");
    kiv::platform::Clock& clock = p.GetClock();
    clock.Sleep(1000);
    EXPECT_EQ(clock.Milliseconds(), 1000u);
    clock.WaitUntil(1020);
    EXPECT_EQ(clock.Milliseconds(), 1020u);
    clock.WaitUntil(500); // already past
    EXPECT_EQ(clock.Milliseconds(), 1020u);

    p.clock.Set(0xFFFFFFF0u);
    clock.WaitUntil(0x10u); // deadline after the wrap
    EXPECT_EQ(clock.Milliseconds(), 0x10u);
}

TEST_F(Headless, MessageBoxesAreRecordedAndAnsweredFromTheQueue) {
    auto& p = kiv::platform::headless::Install();
    EXPECT_EQ(p.dialogs.MessageBox("Save?", "Kiv", kiv::platform::MbYesNo), kiv::platform::IdYes);
    p.dialogs.QueueAnswer(kiv::platform::IdNo);
    EXPECT_EQ(p.dialogs.MessageBox("Again?", "Kiv", kiv::platform::MbYesNo), kiv::platform::IdNo);
    EXPECT_EQ(p.dialogs.MessageBox("Done.", "Info", kiv::platform::MbIconInformation),
              kiv::platform::IdOk);
    ASSERT_EQ(p.dialogs.Shown().size(), 3u);
    EXPECT_EQ(p.dialogs.Shown()[1].text, "Again?");
    EXPECT_EQ(p.dialogs.Shown()[2].flags, kiv::platform::MbIconInformation);
}

TEST_F(Headless, NetworkDialogsTakeTheScriptsAnswersInOrder) {
    auto& p = kiv::platform::headless::Install();
    p.ReadScript("2 dialog join example.org:2345\n"
                 "1 dialog host 2100\n"
                 "3 dialog choose rival\n"
                 "4 dialog host 99999\n"
                 "5 dialog\n");
    unsigned port = 1111;
    std::string host = "localhost";
    EXPECT_EQ(p.dialogs.HostOrJoin(port, host), kiv::platform::IdCancel); // nothing yet
    p.StartPass(4);
    EXPECT_EQ(p.dialogs.HostOrJoin(port, host), kiv::platform::IdHost);
    EXPECT_EQ(port, 2100u);
    EXPECT_EQ(p.dialogs.HostOrJoin(port, host), kiv::platform::IdJoin);
    EXPECT_EQ(host, "example.org");
    EXPECT_EQ(port, 2345u);
    EXPECT_EQ(p.dialogs.Choose("Choose", {"hero", "rival"}), 1);
    EXPECT_EQ(p.dialogs.HostOrJoin(port, host), kiv::platform::IdCancel); // no such port
    EXPECT_EQ(p.dialogs.Choose("Choose", {"hero", "rival"}), 0);          // no answer: the first
    EXPECT_EQ(p.dialogs.Choose("Choose", {}), -1);
}

TEST_F(Headless, OnlyOneHolderOfTheInstanceLock) {
    FileInstanceLock first;
    FileInstanceLock second;
    EXPECT_EQ(first.Path(), (folder / "kiv.lock").string());
    EXPECT_TRUE(first.Acquire());
    EXPECT_FALSE(second.Acquire());
    first.Release();
    EXPECT_TRUE(second.Acquire());
}

TEST_F(Headless, LocalPathConvertsSeparatorsAndMatchesCase) {
    WriteBytes("Art Assets/Maps/Sky.bmp", {1});
    EXPECT_EQ(kiv::platform::LocalPath("art assets\\MAPS\\sky.BMP"), "Art Assets/Maps/Sky.bmp");
    EXPECT_EQ(kiv::platform::LocalPath("Art Assets\\Maps\\new.bmp"), "Art Assets/Maps/new.bmp");
    std::string absolute = (folder / "ART ASSETS" / "maps" / "SKY.BMP").string();
    EXPECT_EQ(kiv::platform::LocalPath(absolute.c_str()),
              (folder / "Art Assets" / "Maps" / "Sky.bmp").string());
}
