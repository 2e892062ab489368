// A network level: the host-or-join question when it starts, and the wait for its players.

#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/host/Host.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>
#include <kiv/network/NetworkComponent.h>
#include <kiv/sprites/Sprite.h>

#include "base/Diagnostics.h"
#include "base/Messages.h"
#include "game/LoopGlobals.h"
#include "network/SessionOptions.h"
#include "platform/Platform.h"

#include <cstring>
#include <string>

namespace {

GUID SessionGuid(const unsigned char* id) {
    GUID g{};
    g.Data1 = id[0] | static_cast<std::uint32_t>(id[1]) << 8 |
              static_cast<std::uint32_t>(id[2]) << 16 | static_cast<std::uint32_t>(id[3]) << 24;
    g.Data2 = static_cast<std::uint16_t>(id[4] | id[5] << 8);
    g.Data3 = static_cast<std::uint16_t>(id[6] | id[7] << 8);
    std::memcpy(g.Data4, id + 8, 8);
    return g;
}

void ResetInput() {
    if (pKeyboard)
        pKeyboard->Reset();
    if (pMouse)
        pMouse->ResetKeys();
}

// Host or join: the answer given on the command line, else the player's.
int AskHostOrJoin(unsigned long& port, std::string& hostName) {
    const kiv::SessionOptions& o = kiv::NetworkOptions();
    if (o.answer) {
        port = o.port ? o.port : port;
        hostName = o.hostName;
        return o.answer;
    }
    unsigned chosenPort = static_cast<unsigned>(port);
    int answer = kiv::platform::Current().GetDialogs().HostOrJoin(chosenPort, hostName);
    port = chosenPort;
    return answer;
}

// A level whose session could not start goes to its fallback level, unless that is a
// network level too: it would ask again, and a run without a player to answer (or a level
// that falls back on itself) would go round for ever. The level then runs alone.
void FallBack(const GameNode& level) {
    GameNode* fallback = Game::Search(level.FallbackLevel());
    if (fallback && fallback->NetworkLevel()) {
        kiv::Diagnostic("The fallback level %d of the network level %s is a network level too; "
                        "%s runs without a session.",
                        level.FallbackLevel(), level.Name(), level.Name());
        return;
    }
    myGame->LevelNumber(level.FallbackLevel());
}

} // namespace

int GameNode::HostNetworkSession(unsigned long port, const char* playerName) {
    return myGame->HostNetworkSession(SessionGuid(m_SessionId), port, m_Name, playerName);
}

int GameNode::JoinNetworkSession(const char* hostName, unsigned long port, const char* playerName) {
    return myGame->JoinNetworkSession(SessionGuid(m_SessionId), hostName, port, playerName);
}

void GameNode::WaitForOtherPlayers() {
    NetworkComponent* session = myGame->Network();
    if (!session || !kiv::WaitingForPlayers || session->PlayersWithSprites() < m_PlayersNeeded)
        return;
    session->StartPlayers();
    kiv::WaitingForPlayers = false;
}

void GameNode::NResetKM() {
    for (List& list : m_DisplayLists)
        for (node* n = list.Head(); !n->EOList(); n = n->Next())
            if (auto* s = static_cast<Sprite*>(n); s->m_NetworkPlayer) {
                s->Keyboard_Reset();
                s->Mouse_Reset();
            }
}

void GameNode::StartNetworkLevel() {
    if (NetworkComponent* session = myGame->Network()) {
        session->StartPlayers();
        return;
    }
    kiv::platform::Window& window = kiv::platform::Current().GetWindow();
    window.ShowCursor(true);
    unsigned long port = m_Port;
    std::string hostName = "localhost", player = kiv::PlayerName();
    int answer = AskHostOrJoin(port, hostName);
    if (answer == kiv::platform::IdHost || answer == kiv::platform::IdJoin) {
        int made = answer == kiv::platform::IdHost
                       ? HostNetworkSession(port, player.c_str())
                       : JoinNetworkSession(hostName.c_str(), port, player.c_str());
        if (made < 0) {
            FallBack(*this);
        } else {
            myGame->ClearQOut();
            ResetInput();
            kiv::WaitingForPlayers = true;
        }
    } else {
        kiv::platform::Current().GetDialogs().MessageBox(kiv::Message(120), "Error",
                                                         kiv::platform::MbIconError);
        FallBack(*this);
    }
    window.ShowCursor(_IsWindowed);
}
