#include "game/NetworkFrame.h"

#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/network/NetworkComponent.h>

#include "game/LoopGlobals.h"
#include "network/NetworkMessages.h"

#include <chrono>

namespace kiv {

namespace {

// How long a frame waits for the other players before the game falls back, and how long
// it sleeps between two looks.
constexpr auto PeersDeadline = std::chrono::milliseconds(10000);
constexpr unsigned int Pause = 10;

// The frame's mouse events as their 8-byte records: kind, value, two zero bytes, position.
unsigned char MouseBytes[sizeof MouseEventRecords];

unsigned int MouseRecords() {
    for (unsigned int i = 0; i < MouseEventCount; ++i) {
        const MouseEvent& e = MouseEventRecords[i];
        unsigned char* r = MouseBytes + 8 * i;
        auto position = static_cast<std::uint32_t>(e.position);
        r[0] = e.kind, r[1] = e.value, r[2] = r[3] = 0;
        for (int b = 0; b < 4; ++b)
            r[4 + b] = static_cast<unsigned char>(position >> (8 * b));
    }
    return 8 * MouseEventCount;
}

} // namespace

bool ServeNetwork() {
    NetworkComponent* session = myGame->Network();
    if (!session)
        return false;
    if (WaitingForPlayers) // nothing to draw meanwhile: no need to spin
        session->WaitForEvents(Pause);
    return session->HandleEvents();
}

bool ExchangeNetworkInputs() {
    NetworkComponent* session = myGame->Network();
    if (!gNode->NetworkLevel() || myGame->LevelChangePending() || !session)
        return true;
    myGame->AddToQOut(net::FrameMarkerItem, nullptr, 0);
    if (MouseEventCount)
        myGame->AddToQOut(net::MouseItem, MouseBytes, MouseRecords());
    if (KeyEventCount)
        myGame->AddToQOut(net::KeyboardItem, KeyEventRecords, 2 * KeyEventCount);
    myGame->SendQOut();
    myGame->ClearQOut();
    auto start = std::chrono::steady_clock::now();
    for (;;) {
        session->CollectFrameInputs(gNode->PlayersNeeded());
        if (myGame->ReceivedFromPlayers())
            break;
        if (session->HandleEvents())
            return false;
        session->CollectFrameInputs(gNode->PlayersNeeded());
        if (myGame->ReceivedFromPlayers())
            break;
        if (std::chrono::steady_clock::now() - start > PeersDeadline) {
            myGame->LevelNumber(gNode->FallbackLevel());
            return false;
        }
        session->WaitForEvents(Pause);
    }
    myGame->ReceivedFromPlayers(false);
    return true;
}

} // namespace kiv
