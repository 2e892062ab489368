// A session as the game sees it: the host's reactions to a player that joins, chooses,
// misbehaves and leaves, watched through a bare transport standing in for that player.
#include <kiv/Kiv.h>

#include "AllocationCount.h"
#include "FreePort.h"
#include "Scratch.h"
#include "game/FrameLoop.h"
#include "game/LoopGlobals.h"
#include "network/NetworkMessages.h"
#include "platform/Transport.h"
#include "platform/headless/HeadlessPlatform.h"

#include <chrono>

using kiv::platform::SessionEvent;
using kiv::platform::Transport;
using Bytes = std::vector<std::uint8_t>;

namespace {

const unsigned char SessionId[16] = {7, 7, 7};

class NetworkSession : public kiv::test::Scratch {
protected:
    void SetUp() override {
        Scratch::SetUp();
        myGame = new Game;
        for (int id : {1, 2}) {
            auto* level = new GameNode;
            level->Id(id);
            myGame->Add(level);
        }
        gNode = Game::Search(0);
        gNode->NetworkLevel(true);
        gNode->NetworkSettings(1111, 1, 2, 2, SessionId);
        for (const char* name : {"KivTextsCursor", "hero", "rival"}) {
            auto* s = new Sprite;
            s->Name(name);
            gNode->Add(s);
        }
        kiv::WaitingForPlayers = true;
    }
    void TearDown() override {
        delete myGame;
        myGame = nullptr;
        gNode = nullptr;
        Game::Levels().del();
        kiv::WaitingForPlayers = false;
        Scratch::TearDown();
    }

    static kiv::platform::headless::RecordedDialogs& Dialogs() { return Headless().dialogs; }

    // Lets the host's game react until `done`, for at most five seconds.
    template <class Done>
    bool HostReactsUntil(Done done) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < end) {
            myGame->Network()->HandleEvents();
            myGame->Network()->WaitForEvents(10);
        }
        return done();
    }

    // The next message the bare player receives (events before it are skipped).
    static Bytes NextMessage(Transport& t) {
        SessionEvent e;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end) {
            myGame->Network()->HandleEvents();
            if (t.Poll(e) && e.kind == SessionEvent::Received)
                return e.data;
            t.Wait(10);
        }
        return {};
    }

    static std::uint8_t Byte(const Sprite* s) { return static_cast<std::uint8_t>(s->Id()); }

    // The host's side of a frame: its inputs (the marker, and a key record when `keys` is
    // given) to everyone, then everyone's inputs of the frame to the players' sprites; false
    // when they do not come.
    bool HostFrame(unsigned char* keys, std::initializer_list<Sprite*> sprites) {
        myGame->AddToQOut(kiv::net::FrameMarkerItem, nullptr, 0);
        if (keys)
            myGame->AddToQOut(kiv::net::KeyboardItem, keys, 2);
        myGame->SendQOut();
        myGame->ClearQOut();
        bool in = HostReactsUntil([] {
            myGame->Network()->CollectFrameInputs(2);
            return myGame->ReceivedFromPlayers();
        });
        myGame->ReceivedFromPlayers(false);
        for (Sprite* s : sprites)
            s->HandleQ();
        return in;
    }

    // Hosts on `port`, lets a guest join and take the sprite it is offered, and waits until
    // the level plays; the guest's transport, or null when any of it fails.
    std::unique_ptr<Transport> StartWithGuest(std::uint16_t port) {
        if (gNode->HostNetworkSession(port, "Host") != 0 ||
            !HostReactsUntil([] { return myGame->Network()->PlayersWithSprites() == 1; }))
            return nullptr;
        auto guest = kiv::platform::MakeTcpTransport();
        std::uint8_t id[16] = {7, 7, 7};
        if (guest->Join(id, "localhost", port, "Guest") != Transport::Result::Ok)
            return nullptr;
        Bytes offer = NextMessage(*guest);
        if (offer.size() < 2)
            return nullptr;
        Bytes choice = {1, offer[1], 0, 0, 0};
        guest->Send(1, choice.data(), choice.size());
        NextMessage(*guest); // the table of players
        if (!HostReactsUntil([] { return !kiv::WaitingForPlayers; }))
            return nullptr;
        return guest;
    }
};

} // namespace

TEST_F(NetworkSession, TheHostOffersFreeSpritesAcceptsAChoiceAndStartsWhenEnoughPlayersHaveOne) {
    std::uint16_t port = kiv::test::FreePort();
    ASSERT_EQ(gNode->HostNetworkSession(port, "Host"), 0);
    // The host is a player too: it is offered the sprites and (headless) takes the first.
    ASSERT_TRUE(HostReactsUntil([] { return myGame->Network()->PlayersWithSprites() == 1; }));
    Sprite* mine = myGame->Network()->PlayerSprite(1);
    ASSERT_TRUE(mine && std::string(mine->Name()) != "KivTextsCursor");
    Sprite* theirs = Sprite::Search(std::string(mine->Name()) == "hero" ? "rival" : "hero");
    EXPECT_TRUE(mine->MainCharacter());
    EXPECT_TRUE(kiv::WaitingForPlayers);

    auto guest = kiv::platform::MakeTcpTransport();
    std::uint8_t id[16] = {7, 7, 7};
    ASSERT_EQ(guest->Join(id, "localhost", port, "Guest"), Transport::Result::Ok);
    Bytes offer = NextMessage(*guest);
    Bytes expected = {0, Byte(theirs), 0, 0, 0};
    EXPECT_EQ(offer, expected); // neither the host's sprite nor the texts' cursor

    // A choice of a taken sprite is answered with the offer again.
    Bytes taken = {1, Byte(mine), 0, 0, 0};
    guest->Send(1, taken.data(), taken.size());
    EXPECT_EQ(NextMessage(*guest), expected);

    Bytes choice = {1, Byte(theirs), 0, 0, 0};
    guest->Send(1, choice.data(), choice.size());
    Bytes expectedTable = {2, 2, 0, 0, 0, 1, 0, 0, 0, Byte(mine), 0,
                           0, 0, 0, 0, 0, 0, 2, 0, 0, 0,          Byte(theirs),
                           0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(NextMessage(*guest), expectedTable);
    ASSERT_TRUE(HostReactsUntil([] { return !kiv::WaitingForPlayers; }));
    EXPECT_TRUE(theirs->IsActiveNetworkPlayer());
    EXPECT_TRUE(mine->IsActiveNetworkPlayer());
    EXPECT_FALSE(Sprite::Search("KivTextsCursor")->IsActiveNetworkPlayer());

    // The guest's inputs of a frame reach its sprite by their frame stamp; broken inputs,
    // inputs of a frame too far ahead, a second message for one frame and inputs of a frame
    // already played are only dropped.
    auto keys = [](std::uint8_t stamp, std::uint8_t key, std::uint8_t down) {
        return Bytes{7, stamp, 0, 0, 0, 1, 0, 0, 0, 9, 2, 0, 0, 0, key, down};
    };
    const std::uint8_t right = 0xCD, a = 0x1E, space = 0x39;
    for (const Bytes& b :
         {Bytes{7, 0, 0, 0, 0, 9, 0, 0, 0}, keys(5, a, 1), keys(0, right, 1), keys(0, a, 1)})
        guest->Send(1, b.data(), b.size());
    ASSERT_TRUE(HostFrame(nullptr, {mine, theirs}));
    EXPECT_TRUE(theirs->Keyboard_IsPressed(right));
    EXPECT_FALSE(theirs->Keyboard_IsPressed(a));
    EXPECT_FALSE(mine->Keyboard_IsPressed(right));

    // Frame 1 waits for the guest's own inputs of frame 1, not for a late copy of frame 0.
    Bytes stale = keys(0, space, 1);
    guest->Send(1, stale.data(), stale.size());
    myGame->AddToQOut(kiv::net::FrameMarkerItem, nullptr, 0);
    myGame->SendQOut();
    myGame->ClearQOut();
    auto soon = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    EXPECT_FALSE(HostReactsUntil([&] {
                     myGame->Network()->CollectFrameInputs(2);
                     return myGame->ReceivedFromPlayers() ||
                            std::chrono::steady_clock::now() > soon;
                 }) &&
                 myGame->ReceivedFromPlayers());
    Bytes next = keys(1, right, 0);
    guest->Send(1, next.data(), next.size());
    ASSERT_TRUE(HostReactsUntil([] {
        myGame->Network()->CollectFrameInputs(2);
        return myGame->ReceivedFromPlayers();
    }));
    myGame->ReceivedFromPlayers(false);
    theirs->HandleQ();
    EXPECT_FALSE(theirs->Keyboard_IsPressed(right));
    EXPECT_FALSE(theirs->Keyboard_IsPressed(space));

    // The guest leaves: everyone hears that it resigned, and the game falls back.
    guest->Close();
    ASSERT_TRUE(HostReactsUntil([] { return myGame->LevelNumber() == 1; }));
    EXPECT_EQ(BoxTexts().back(), "Player 'Guest' has resigned.\nSorry, the game cannot continue.");
}

// Once a session plays, a frame's inputs travel both ways and reach the sprites through
// buffers that are used again: nothing is allocated per message, on the game's thread or the
// network's.
TEST_F(NetworkSession, PlayingFramesAllocatesNothingPerMessageOnceUnderWay) {
    auto guest = StartWithGuest(kiv::test::FreePort());
    ASSERT_TRUE(guest);
    Sprite* mine = myGame->Network()->PlayerSprite(1);
    Sprite* theirs = myGame->Network()->PlayerSprite(2);
    ASSERT_TRUE(mine && theirs);
    const std::uint8_t right = 0xCD, a = 0x1E;
    // The guest's inputs of a frame: its marker and the right arrow, down on odd frames.
    Bytes in = {7, 0, 0, 0, 0, 2, 0, 0, 0, 8, 0, 0, 0, 0, 9, 2, 0, 0, 0, right, 0};
    SessionEvent e;
    auto play = [&](std::uint32_t stamp) {
        for (int i = 0; i < 4; ++i)
            in[1 + i] = static_cast<std::uint8_t>(stamp >> (8 * i));
        in.back() = stamp % 2;
        guest->Send(1, in.data(), in.size());
        unsigned char keys[2] = {a, static_cast<unsigned char>(stamp % 2)};
        bool played = HostFrame(keys, {mine, theirs});
        while (guest->Poll(e)) { // the host's inputs, which the guest would play
        }
        return played && theirs->Keyboard_IsPressed(right) == (stamp % 2 == 1) &&
               mine->Keyboard_IsPressed(a) == (stamp % 2 == 1);
    };
    for (std::uint32_t stamp = 0; stamp < 40; ++stamp)
        ASSERT_TRUE(play(stamp)) << "frame " << stamp;
    kiv::test::allocations = 0;
    kiv::test::countAllocations = true;
    int wrong = 0;
    for (std::uint32_t stamp = 40; stamp < 200; ++stamp)
        wrong += !play(stamp);
    kiv::test::countAllocations = false;
    EXPECT_EQ(wrong, 0);
    // Queues and spare buffers grow, once per doubling, when a busy machine lets a longer
    // backlog build up than any before; a buffer or queue node per message would count
    // about one for every two frames.
    if (kiv::test::countsAllocations) {
        EXPECT_LE(kiv::test::allocations.load(), 16);
    }
}

TEST_F(NetworkSession, SessionsThatCannotBeMadeSayWhy) {
    EXPECT_EQ(gNode->HostNetworkSession(1000, "Host"), -1);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Failed to create a new session."});
    EXPECT_EQ(myGame->Network(), nullptr);
    Dialogs().Forget();

    EXPECT_EQ(gNode->JoinNetworkSession("localhost", kiv::test::FreePort(), "Guest"), -1);
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{"Failed to connect.", "Failed to join a session."}));
    Dialogs().Forget();

    std::uint16_t port = kiv::test::FreePort();
    auto other = kiv::platform::MakeTcpTransport();
    std::uint8_t id[16] = {};
    ASSERT_EQ(other->Host(id, port, "Other"), Transport::Result::Ok);
    EXPECT_EQ(gNode->HostNetworkSession(port, "Host"), -1);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Failed to use the port.",
                                                    "Failed to create a new session."}));
    Dialogs().Forget();

    // A joiner of another game is refused by the host.
    EXPECT_EQ(gNode->JoinNetworkSession("localhost", port, "Guest"), -1);
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{"Failed to connect.", "Failed to join a session."}));
}

TEST_F(NetworkSession, APlayerComingToAFullSessionIsToldSo) {
    gNode->NetworkSettings(1111, 1, 1, 1, SessionId);
    std::uint16_t port = kiv::test::FreePort();
    ASSERT_EQ(gNode->HostNetworkSession(port, "Host"), 0);
    auto late = kiv::platform::MakeTcpTransport();
    std::uint8_t id[16] = {7, 7, 7};
    ASSERT_EQ(late->Join(id, "localhost", port, "Late"), Transport::Result::Ok);
    Bytes reply; // the host's own choice may be announced to everyone first
    do
        reply = NextMessage(*late);
    while (!reply.empty() && reply[0] == 2);
    EXPECT_EQ(reply, Bytes{5});
    late->Close();
    // It never played: its leaving ends nothing.
    HostReactsUntil([] { return myGame->Network()->PlayerCount() == 1; });
    EXPECT_EQ(myGame->Network()->PlayerCount(), 1u);
    EXPECT_EQ(myGame->LevelNumber(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
}

// F10 on a network level pauses this copy only; resuming forgets what the players' sprites
// held, as a player who let go meanwhile would otherwise keep running.
TEST_F(NetworkSession, ResumingFromAPauseResetsThePlayersInput) {
    auto guest = StartWithGuest(kiv::test::FreePort());
    ASSERT_TRUE(guest);
    Sprite* theirs = myGame->Network()->PlayerSprite(2);
    ASSERT_TRUE(theirs);
    const std::uint8_t right = 0xCD;
    Bytes in = {7, 0, 0, 0, 0, 1, 0, 0, 0, 9, 2, 0, 0, 0, right, 1};
    guest->Send(1, in.data(), in.size());
    ASSERT_TRUE(HostFrame(nullptr, {theirs}));
    ASSERT_TRUE(theirs->Keyboard_IsPressed(right));

    auto& p = static_cast<kiv::platform::headless::HeadlessPlatform&>(kiv::platform::Current());
    p.ReadScript("1 press F10\n3 press F10\n");
    pKeyboard = new Keyboard(nullptr, nullptr);
    std::vector<bool> paused;
    for (std::uint32_t frame = 1; frame <= 3; ++frame) {
        p.StartPass(frame);
        unsigned char* out = kiv::KeyEventRecords;
        pKeyboard->Update(out);
        kiv::HandleHotKeys();
        paused.push_back(kiv::GamePaused);
    }
    delete pKeyboard;
    pKeyboard = nullptr;
    EXPECT_EQ(paused, (std::vector<bool>{true, true, false}));
    EXPECT_FALSE(theirs->Keyboard_IsPressed(right));
}
