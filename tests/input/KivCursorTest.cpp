#include <kiv/Kiv.h>

#include "Scratch.h"
#include "data/PendingSprites.h"
#include "input/CursorRecord.h"
#include "platform/headless/HeadlessPlatform.h"

#include <string>

namespace {

// A level whose viewport sits at (100, 200) in its world, a game and a mouse, without the
// frame loop.
class Cursors : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        SetMode(640, 480, 32);
        gNode = new GameNode;
        gNode->GetViewPort().WorldWidth(2000);
        gNode->GetViewPort().WorldHeight(2000);
        gNode->GetViewPort().WorldXPos(100);
        gNode->GetViewPort().WorldYPos(200);
        myGame = new Game;
        pMouse = new Mouse(nullptr, nullptr);
        _UE = UserError();
        UserError::Errors.clear();
    }
    void TearDown() override {
        delete pKivCursor;
        delete pMouse;
        pMouse = nullptr;
        delete myGame;
        myGame = nullptr;
        delete gNode;
        gNode = nullptr;
        SpriteList[KivCursor::DefaultActorIndex].Animations(0);
        SpriteList[5].Animations(0);
        Scratch::TearDown();
    }
    // A cursor record whose sprite plays actor 5, animation 1, frame 2 (read later in the
    // level file), shown at (12, 34), then the record of a level without a cursor.
    static void WriteRecord() {
        File f("level.rec", File::Writing);
        f.Write(true);
        for (unsigned int v : {5u, 1u, 2u})
            f.Write(v);
        f.Write(false); // collision type
        f.Write(false); // a position follows
        f.Write(12.7f);
        f.Write(34.2f);
        f.Write(0); // no behavior
        f.Write(true);
        f.Write(-1);
        f.Write(false);
    }
    void MouseFrame(kiv::platform::MouseInput e) {
        Headless().mouse.Push(e);
        MouseEvent* out = records;
        pMouse->Update(out);
    }
    static int SpritesInList15() { return gNode->DisplayList(15).Count(); }

    MouseEvent records[256];
};

} // namespace

TEST_F(Cursors, ClicksOnWhatTheSpriteTouches) {
    auto* cursor = NewKivCursor();
    cursor->AddSpriteCursor(1000, 0, 0, false);
    Sprite* s = cursor->CursorSprite();
    // What the collision steps would have found this frame.
    s->m_TouchedNames.push_back("door");
    CollisionCircle shape(0, 0, 5, 7, 0);
    s->m_MapTouched.push_back(&shape);
    MouseFrame({kiv::platform::MouseInput::Button0, 1});

    EXPECT_TRUE(cursor->IsTriggeredOnSprite("door", 0));
    EXPECT_TRUE(cursor->IsTriggeredOnSprite(nullptr, 0));
    EXPECT_FALSE(cursor->IsTriggeredOnSprite("wall", 0));
    EXPECT_FALSE(cursor->IsPressedOnSprite("door", 1));
    EXPECT_TRUE(cursor->IsPressedOnMap(7, 0));
    EXPECT_FALSE(cursor->IsTriggeredOnMap(8, 0));
    s->m_MapTouched.clear();
}

TEST_F(Cursors, RecordRoundTripsAndALoadedLevelKeepsItsSprite) {
    auto* cursor = NewKivCursor();
    cursor->AddSpriteCursor(1000, 0, 0, true);
    cursor->ViewportPosition(12, 34, false);
    cursor->AddLocalVariable(0); // there are no local-variable prototypes
    EXPECT_EQ(std::string(_UE.targetFunction) + " | " + _UE.errorMessage,
              "void KivCursor::AddLocalVariable(unsigned int index) | The local variable 0 "
              "cannot be found.");
    {
        File f("cursor.sav", File::Writing);
        f.Write(static_cast<node*>(cursor));
    }
    delete cursor;
    gNode->DisplayList(15).del();

    // A level without the cursor's sprite gets a new one.
    node* loaded = nullptr;
    {
        File f("cursor.sav", File::Reading);
        f.Read(loaded);
    }
    ASSERT_NE(dynamic_cast<KivCursor*>(loaded), nullptr);
    EXPECT_EQ(pKivCursor, loaded);
    EXPECT_EQ(pKivCursor->ViewportPositionY(), 34u);
    EXPECT_EQ(pKivCursor->LocalVariableIndex(), -1);
    ASSERT_NE(pKivCursor->CursorSprite(), nullptr);
    EXPECT_TRUE(pKivCursor->CursorSprite()->CollisionType());
    EXPECT_EQ(SpritesInList15(), 1);

    // A level read back with its sprites already holds the sprite: the cursor takes it.
    Sprite* kept = pKivCursor->CursorSprite();
    delete loaded;
    {
        File f("cursor.sav", File::Reading);
        f.Read(loaded);
    }
    EXPECT_EQ(pKivCursor, loaded);
    EXPECT_EQ(pKivCursor->CursorSprite(), kept);
    EXPECT_EQ(SpritesInList15(), 1);
}

TEST_F(Cursors, LevelRecordMakesTheSpriteAtOnceAndItsPlaybackOnceTheActorsAreRead) {
    WriteRecord();
    File f("level.rec", File::Reading);
    kiv::ReadCursorRecord(f);
    ASSERT_NE(pKivCursor, nullptr);
    Sprite* s = pKivCursor->CursorSprite();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Animation(), 0); // actor 5 is not read yet

    SpriteList[5].Animations(2);
    SpriteList[5].m_Animations[1].Frames(3);
    kiv::ApplyWaitingPlayback();
    EXPECT_EQ(pKivCursor->CursorSprite(), s);
    EXPECT_EQ(s->ActorIndex(), 5);
    EXPECT_EQ(s->Animation(), 1);
    EXPECT_EQ(s->Frame(), 2);
    EXPECT_FLOAT_EQ(s->MapPositionX(), 112); // in the world seen from (100, 200)
    EXPECT_FLOAT_EQ(s->MapPositionY(), 234);
    EXPECT_EQ(pMouse->ViewportX(), 12);
    EXPECT_TRUE(myGame->ShowCursor());
    EXPECT_FALSE(s->Unused());
    EXPECT_EQ(_UE.targetFunction[0], 0); // nothing was refused

    KivCursor* kept = pKivCursor;
    kiv::ReadCursorRecord(f);
    kiv::ApplyWaitingPlayback();
    EXPECT_EQ(pKivCursor, kept);
    EXPECT_EQ(SpritesInList15(), 1);
}

TEST_F(Cursors, ARecordIsReadWholeWithoutAGameToShowTheCursorIn) {
    WriteRecord();
    File f("level.rec", File::Reading);
    Game* game = myGame;
    myGame = nullptr;
    kiv::ReadCursorRecord(f);
    myGame = game;
    bool nextHasCursor = true;
    f.Read(nextHasCursor);
    EXPECT_FALSE(nextHasCursor);
}
