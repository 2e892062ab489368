#include <kiv/network/NetworkComponent.h>

#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/sprites/Sprite.h>

#include "base/Diagnostics.h"
#include "base/Messages.h"
#include "network/NetworkPlayers.h"
#include "platform/Platform.h"

#include <cstring>

namespace {

constexpr unsigned long LowestPort = 1000, HighestPort = 65535;

// The 16 bytes of an identifier, in the order the level stores them.
void GuidBytes(const GUID& g, std::uint8_t (&out)[16]) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::uint8_t>(g.Data1 >> (8 * i));
    out[4] = static_cast<std::uint8_t>(g.Data2), out[5] = static_cast<std::uint8_t>(g.Data2 >> 8);
    out[6] = static_cast<std::uint8_t>(g.Data3), out[7] = static_cast<std::uint8_t>(g.Data3 >> 8);
    std::memcpy(out + 8, g.Data4, 8);
}

void ErrorBox(int message) {
    kiv::platform::Current().GetDialogs().MessageBox(kiv::Message(message), "Error",
                                                     kiv::platform::MbIconError);
}

} // namespace

namespace kiv {

Sprite* LevelSprite(int id) {
    if (!gNode || id < 1)
        return nullptr;
    for (int d = 0; d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next())
            if (static_cast<Sprite*>(n)->Id() == id)
                return static_cast<Sprite*>(n);
    return nullptr;
}

} // namespace kiv

NetworkComponent::NetworkComponent()
    : hosting(false), joined(false), localPlayer(0), playerCount(0), hostPlayer(0), application{},
      outgoingCount(0), frameStamp(0), players(std::make_unique<kiv::NetworkPlayers>()) {}

NetworkComponent::~NetworkComponent() {
    Kill();
}

int NetworkComponent::Init() {
    if (transport)
        return -1;
    transport = kiv::platform::MakeTcpTransport();
    return 0;
}

void NetworkComponent::Kill() {
    players->list.clear();
    players->played = 0;
    players->past.clear();
    players->pastFrames.clear();
    playerCount = 0;
    if (transport)
        transport->Close();
    transport.reset();
    hosting = joined = false;
    localPlayer = hostPlayer = 0;
    frameStamp = 0;
}

// Shows the message of what failed and lets the session go.
int NetworkComponent::Fail(int message) {
    if (transport && !transport->Problem().empty())
        kiv::Diagnostic("Network: %s.", transport->Problem().c_str());
    ErrorBox(message);
    Kill();
    return -1;
}

// The steps Host and Connect share: the port, a fresh session object, the identifier.
// 0 when they went well, otherwise what Host and Connect return.
int NetworkComponent::Prepare(GUID app, unsigned long port, std::uint8_t (&id)[16]) {
    if (port <= LowestPort)
        return -1;
    if (Init() != 0) {
        ErrorBox(123);
        return -1;
    }
    application = app;
    if (port > HighestPort)
        return Fail(125);
    GuidBytes(app, id);
    return 0;
}

int NetworkComponent::Host(GUID app, unsigned long port, const char* /*sessionName*/,
                           const char* playerName) {
    std::uint8_t id[16];
    if (int failed = Prepare(app, port, id))
        return failed;
    hosting = true;
    hostPlayer = kiv::platform::Transport::HostPlayer;
    auto result =
        transport->Host(id, static_cast<std::uint16_t>(port), playerName ? playerName : "");
    if (result == kiv::platform::Transport::Result::PortUnusable)
        return Fail(125);
    if (result != kiv::platform::Transport::Result::Ok)
        return Fail(124);
    return 0;
}

int NetworkComponent::Connect(GUID app, const char* hostName, unsigned long port,
                              const char* playerName) {
    std::uint8_t id[16];
    if (int failed = Prepare(app, port, id))
        return failed;
    if (!hostName)
        return Fail(125);
    auto result = transport->Join(id, hostName, static_cast<std::uint16_t>(port),
                                  playerName ? playerName : "");
    if (result != kiv::platform::Transport::Result::Ok)
        return Fail(126);
    joined = true;
    hostPlayer = kiv::platform::Transport::HostPlayer;
    return 0;
}

int NetworkComponent::Send(unsigned char* data, unsigned long size, int /*sequential*/,
                           unsigned long to) {
    // Messages over TCP always keep their order, so both kinds of sending are one here.
    if ((!hosting && !joined) || !transport || !data || size == 0)
        return -1;
    return transport->Send(static_cast<std::uint32_t>(to), data, size) ? 0 : -1;
}

int NetworkComponent::GetPlayerInfo(unsigned long player, int& flags, char*& name) {
    kiv::NetworkPlayer* p = players->Find(player);
    if (!p)
        return -1;
    flags = (player == localPlayer ? PlayerLocal : 0) | (player == hostPlayer ? PlayerHost : 0);
    name = p->name.data();
    return 0;
}

void NetworkComponent::AddToQOut(unsigned char kind, unsigned char* data, unsigned int length) {
    if (outgoingCount == outgoing.size())
        outgoing.emplace_back();
    kiv::QueueItem& item = outgoing[outgoingCount++];
    item.kind = kind;
    item.length = data ? length : 0;
    item.data.assign(data, data + item.length);
}

void NetworkComponent::ClearQOut() {
    outgoingCount = 0;
}

void NetworkComponent::SendQOut() {
    if (outgoingCount == 0)
        return;
    if (CatchingUp()) { // the others played these frames before this player came
        ++frameStamp;
        return;
    }
    std::vector<unsigned char>& out = players->out;
    kiv::net::BeginInputs(frameStamp++, out);
    for (std::size_t i = 0; i < outgoingCount; ++i)
        kiv::net::AppendItem(outgoing[i].kind, outgoing[i].data.data(), outgoing[i].length, out);
    Send(out.data(), out.size(), 1, 0);
}

void NetworkComponent::WaitForEvents(unsigned int ms) {
    if (transport)
        transport->Wait(ms);
}

Sprite* NetworkComponent::PlayerSprite(unsigned long player) const {
    kiv::NetworkPlayer* p = players->Find(player);
    return p ? kiv::LevelSprite(p->sprite) : nullptr;
}

int NetworkComponent::PlayersWithSprites() const {
    int n = 0;
    for (const kiv::NetworkPlayer& p : players->list)
        n += p.sprite != 0 && !p.gone;
    return n;
}
