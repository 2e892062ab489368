#include <kiv/Kiv.h>

#include "FatalExit.h"
#include "Images.h"
#include "Scratch.h"
#include "graphics/Display.h"
#include "host/HostGlobals.h"
#include "platform/headless/HeadlessPlatform.h"

#include <filesystem>

using kiv::test::WriteImage;
using kiv::test::WriteSolidImage;

namespace {

// A colour that says where a pixel of a test image came from.
COLORREF Pattern(int x, int y) {
    return static_cast<COLORREF>(((x * 7) & 0xFF) | ((y * 5) & 0xFF) << 8 | 0x400000);
}

class Maps : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        ArtAssetsPath = folder.c_str();
        kiv::InitPaths();
        SetMode(64, 48, 32);
        _IsWindowed = true;
        ASSERT_TRUE(kiv::InitGraphics());
        back = kiv::BackBuffer();
        level = new GameNode;
        level->WorldWidth(200);
        level->WorldHeight(100);
        ViewPort& v = level->GetViewPort();
        v.WorldWidth(200);
        v.WorldHeight(100);
        v.ViewPortWidth(64);
        v.ViewPortHeight(48);
        gNode = level;
        pConsole = new Console;
        WriteImage("Art Assets/Maps/world.bmp", 200, 100, Pattern);
    }
    void TearDown() override {
        delete level;
        gNode = nullptr;
        delete pConsole;
        pConsole = nullptr;
        kiv::CloseGraphics();
        Scratch::TearDown();
    }
    COLORREF Shown(int x, int y) { return back->ColorOf(back->GetPixel(x, y)); }
    // Runs the frame's drawing of one map and commits the viewport, as the frame loop does.
    void Frame(Map& map) {
        map.DisplayMap();
        level->GetViewPort().Commit();
    }

    kiv::Surface* back = nullptr;
    GameNode* level = nullptr;
};

} // namespace

TEST_F(Maps, TheMasterMapShowsTheViewportsWindowOfTheWorld) {
    Map world("world", "WORLD.bmp", Map::Master, 0, 0, 0, false, zrect);
    EXPECT_TRUE(world.IsMasterMap());
    EXPECT_EQ(world.Width(), 200u);
    level->GetViewPort().WorldXPos(30);
    level->GetViewPort().WorldYPos(20);
    Frame(world);
    for (int y = 0; y < 48; y += 5)
        for (int x = 0; x < 64; x += 3)
            ASSERT_EQ(Shown(x, y), Pattern(x + 30, y + 20)) << x << "," << y;
    EXPECT_EQ(world.ViewPortX(), static_cast<unsigned int>(-30));
    EXPECT_EQ(world.WorldPositionX(), 0.0f);
}

TEST_F(Maps, StandardMapsMoveWithinTheirRange) {
    WriteSolidImage("Art Assets/Maps/post.bmp", 50, 10, 0x0000FFu);
    Map post("post", "post.bmp", Map::Standard, 0, 2, 5, false, {0, 0, 200, 100});
    post.SpeedX(-3);
    Frame(post);
    EXPECT_EQ(post.WorldPositionX(), 0.0f); // stops exactly at the world's left edge
    Frame(post);
    EXPECT_EQ(post.WorldPositionX(), 0.0f);
    post.SpeedX(500);
    back->Fill(0);
    Frame(post);
    EXPECT_EQ(post.WorldPositionX(), 150.0f); // range: world width - image width
    EXPECT_EQ(Shown(0, 6), 0u);               // moved off the visible part

    WriteSolidImage("Art Assets/Maps/wide.bmp", 200, 10, 0x00FF00u);
    Map wide("wide", "wide.bmp", Map::Standard, 0, 0, 0, false, {0, 0, 200, 100});
    wide.SpeedX(4);
    wide.ScrollRatioX(0);
    Frame(wide);
    EXPECT_EQ(wide.WorldPositionX(), 0.0f); // range 0: never moves
    EXPECT_EQ(Shown(10, 3), 0x00FF00u);
}

TEST_F(Maps, AWrappedMapScrolledByItsWidthLooksUnchanged) {
    WriteImage("Art Assets/Maps/clouds.bmp", 40, 30, Pattern);
    Map clouds("clouds", "clouds.bmp", Map::Wrapped, 0, 0, 0, true, {0, 0, 30, 20});
    Frame(clouds);
    std::vector<COLORREF> before;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            before.push_back(Shown(x, y));
    EXPECT_EQ(before[0], Pattern(0, 0));

    clouds.SpeedX(13);
    Frame(clouds); // the picture moves 13 pixels right: column 40 - 13 comes in at the left
    EXPECT_EQ(Shown(0, 0), Pattern(27, 0));
    EXPECT_EQ(Shown(12, 0), Pattern(39, 0));
    EXPECT_EQ(Shown(13, 0), Pattern(0, 0)); // wrapped around
    clouds.SpeedX(27);
    back->Fill(0);
    Frame(clouds); // 13 + 27 = 40: once round
    std::vector<COLORREF> after;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            after.push_back(Shown(x, y));
    EXPECT_EQ(after, before);
    EXPECT_EQ(clouds.ViewPortX(), 0u); // positions of wrapped maps are refused
    EXPECT_NE(ReadText("Kiv.log").find(
                  "The map's X viewport position is correct only if the map is not wrapping."),
              std::string::npos);
}

TEST_F(Maps, MapsOfOneImageAndKeyShareItsSurface) {
    Map* a = new Map("a", "world.bmp", Map::Standard, 0, 0, 0, false, {0, 0, 200, 100});
    Map b("b", "world.bmp", Map::Standard, 0, 0, 0, false, {0, 0, 200, 100});
    Map keyed("c", "world.bmp", Map::Standard, 0, 0, 0, false, {0, 0, 200, 100});
    keyed.TransparencyColor(0x00FF00);
    EXPECT_EQ(a->Image(), b.Image());
    EXPECT_NE(keyed.Image(), b.Image());
    delete a; // the shared image stays for b
    ASSERT_NE(b.Image(), nullptr);
    Frame(b);
    EXPECT_EQ(Shown(10, 10), Pattern(10, 10));
}

TEST_F(Maps, TheCollisionGrid) {
    Map world("world", "world.bmp", Map::Master, 0, 0, 0, false, zrect);
    world.SpacePartitionGridSize(10);
    EXPECT_EQ(world.SpacePartitionGridSize(), 64);
    EXPECT_EQ(world.GridColumns(), 4); // ceiling(200 / 64)
    EXPECT_EQ(world.GridRows(), 2);
    world.SpacePartitionGridSize(101);
    EXPECT_EQ(world.SpacePartitionGridSize(), 102);
    EXPECT_EQ(world.GridColumns(), 2);
    EXPECT_EQ(world.GridRows(), 1);

    world.SpacePartitionGridSize(64);
    world.AddCollisionData(CollisionSegment(10, 10, 100, 10, 7, 0, 0)); // cells 0 and 1 of row 0
    world.AddCollisionData(CollisionSegment(5, 5, 5, 5, 8, 0, 0));      // no length: dropped
    world.AddCollisionData(CollisionCircle(150, 80, 5, 9, 0));          // cell (2, 1)
    EXPECT_EQ(world.Shapes().Count(), 2);
    EXPECT_EQ(world.CellAt(0, 0)->Count(), 1);
    EXPECT_EQ(world.CellAt(1, 0)->Count(), 1);
    EXPECT_EQ(world.CellAt(2, 0)->Count(), 0);
    EXPECT_EQ(world.CellAt(2, 1)->Count(), 1);
    EXPECT_EQ(world.Cell(150, 80), world.CellAt(2, 1));
    world.RemoveCollisionData(7, 2); // circles only: the segment stays
    EXPECT_EQ(world.Shapes().Count(), 2);
    world.RemoveCollisionData(7, 0);
    EXPECT_EQ(world.Shapes().Count(), 1);
    EXPECT_EQ(world.CellAt(0, 0)->Count(), 0);
}

TEST_F(Maps, LookUpsAndMissingImages) {
    level->Add(new Map("world", "world.bmp", Map::Master, 0, 0, 0, false, zrect));
    EXPECT_EQ(Map::Search("world"), static_cast<Map*>(level->Maps().Head()));
    MapPTR missing("nowhere");
    EXPECT_EQ(static_cast<Map*>(missing), &MapPTR::dummyMapPtr);
    EXPECT_FALSE(missing->Visible());
    missing->Visible(true);
    EXPECT_FALSE(MapPTR()->Visible()); // handed out again, it is hidden again
    EXPECT_NE(ReadText("Kiv.log").find("Map nowhere not found."), std::string::npos);

    auto& headless = Headless();
    kiv::test::CatchFatalExits catcher;
    EXPECT_THROW(Map("m", "gone.bmp", Map::Standard, 0, 0, 0, false, zrect), kiv::test::FatalExit);
    EXPECT_NE(headless.dialogs.Shown().back().text.find("The bitmap file gone.bmp does not exist."),
              std::string::npos);
    // The fatal exit tore the display and the console down; the next case needs them again.
    ASSERT_TRUE(kiv::InitGraphics());
    pConsole = new Console;
    WriteImage("Art Assets/Maps/small.bmp", 20, 20, Pattern);
    EXPECT_THROW(Map("m", "small.bmp", Map::Master, 0, 0, 0, false, zrect), kiv::test::FatalExit);
    EXPECT_NE(headless.dialogs.Shown().back().text.find(
                  "For the bitmap file small.bmp to be a master map"),
              std::string::npos);
}

// A level makes a map of the kind it is asked for, numbers it, and puts it before the maps of
// equal or greater z-order.
TEST_F(Maps, ALevelMakesMapsOfEachKindAndSortsThemByZOrder) {
    WriteImage("Art Assets/Maps/post.bmp", 50, 10, Pattern);
    const KivRect range = {0, 0, 200, 100};
    EXPECT_TRUE(level->AddMap("world", "world.bmp", 5, 0, 0, false, zrect, Map::Master));
    EXPECT_TRUE(level->AddMap("tiles", "post.bmp", 9, 0, 0, false, range, Map::Wrapped));
    EXPECT_TRUE(level->AddMap("post", "post.bmp", 5, 20, 7, false, range, Map::Standard));
    std::vector<std::string> order;
    for (node* n = level->Maps().Head(); !n->EOList(); n = n->Next())
        order.push_back(static_cast<Map*>(n)->Name());
    EXPECT_EQ(order, (std::vector<std::string>{"post", "world", "tiles"}));
    Map* post = Map::Search("post");
    ASSERT_NE(post, nullptr);
    EXPECT_EQ(post->Type(), Map::Standard);
    EXPECT_EQ(post->Id(), 3);
    EXPECT_EQ(post->WorldPositionX(), 20.0f);
    EXPECT_EQ(Map::Search("world")->Type(), Map::Master);
    EXPECT_EQ(Map::Search("tiles")->Type(), Map::Wrapped);
}
