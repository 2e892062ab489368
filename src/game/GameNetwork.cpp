// The game's side of a network session: making and closing it, and its outgoing queue.

#include <kiv/game/Game.h>
#include <kiv/network/NetworkComponent.h>

#include "base/Messages.h"
#include "platform/Platform.h"

namespace {

int Refuse(int message) {
    kiv::platform::Current().GetDialogs().MessageBox(kiv::Message(message), "Error",
                                                     kiv::platform::MbIconError);
    return -1;
}

} // namespace

int Game::HostNetworkSession(GUID application, unsigned long port, const char* sessionName,
                             const char* playerName) {
    if (network)
        return -1;
    network = new NetworkComponent;
    if (network->Host(application, port, sessionName, playerName) < 0) {
        CloseNetworkSession();
        return Refuse(121);
    }
    return 0;
}

int Game::JoinNetworkSession(GUID application, const char* hostName, unsigned long port,
                             const char* playerName) {
    if (network)
        return -1;
    network = new NetworkComponent;
    if (network->Connect(application, hostName, port, playerName) < 0) {
        CloseNetworkSession();
        return Refuse(122);
    }
    return 0;
}

void Game::CloseNetworkSession() {
    delete network;
    network = nullptr;
    receivedFromPlayers = false;
}

void Game::AddToQOut(unsigned char kind, unsigned char* data, unsigned int length) {
    if (network)
        network->AddToQOut(kind, data, length);
}

void Game::SendQOut() {
    if (network)
        network->SendQOut();
}

void Game::ClearQOut() {
    if (network)
        network->ClearQOut();
}
