// How a session reacts to what its transport reports: players coming and going, the choice
// of characters, and the inputs of every frame. All of it runs on the game's thread.

#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/input/Keyboard.h>
#include <kiv/input/Mouse.h>
#include <kiv/network/NetworkComponent.h>
#include <kiv/sprites/Sprite.h>

#include "base/Diagnostics.h"
#include "base/Messages.h"
#include "network/NetworkPlayers.h"
#include "platform/Platform.h"

#include <cstdio>
#include <cstring>

namespace {

using kiv::platform::SessionEvent;

// The sprite no player may take: it shows the texts' cursor.
constexpr const char* TextsCursor = "KivTextsCursor";

void Box(const char* text, const char* caption) {
    kiv::platform::Current().GetDialogs().MessageBox(text, caption,
                                                     kiv::platform::MbIconInformation);
}

// The network game cannot go on: the level's fallback level comes next.
void FallBack() {
    if (gNode)
        myGame->LevelNumber(gNode->FallbackLevel());
}

bool Takeable(const Sprite* s) {
    return s && std::strcmp(s->Name(), TextsCursor) != 0;
}

} // namespace

// Events are handled in order up to the next inputs message: the frame that waits for
// inputs counts them before it hears of anything that came later (a session that ends
// after the last frame it played, for instance).
bool NetworkComponent::HandleEvents() {
    bool stop = false;
    SessionEvent& e = players->event;
    players->inputsArrived = false;
    while (!stop && !players->inputsArrived && transport && transport->Poll(e)) {
        switch (e.kind) {
        case SessionEvent::PlayerCreated:
            OnPlayerCreated(e.player, e.name);
            break;
        case SessionEvent::PlayerDestroyed:
            OnPlayerDestroyed(e.player);
            break;
        case SessionEvent::Terminated:
            OnSessionTerminated();
            stop = true;
            break;
        case SessionEvent::Received:
            stop = OnMessage(e.player, e.data);
            break;
        case SessionEvent::Notice:
            kiv::Diagnostic("Network: %s.", e.name.c_str());
            break;
        }
    }
    return stop;
}

void NetworkComponent::OnPlayerCreated(unsigned long player, const std::string& name) {
    kiv::NetworkPlayer& p = players->list.emplace_back();
    p.id = player;
    p.name = name;
    if (!localPlayer && player == transport->LocalPlayer())
        localPlayer = player;
    std::vector<unsigned char>& out = players->out;
    if (joined && player != localPlayer) {
        kiv::net::EncodeValue(kiv::net::HostIs, static_cast<std::uint32_t>(hostPlayer), out);
        Send(out.data(), out.size(), 0, player);
    }
    if (hosting) {
        int most = gNode ? gNode->MaxPlayers() : 0;
        if (most > 0 && playerCount >= static_cast<unsigned int>(most)) {
            p.turnedAway = true;
            kiv::net::EncodeFull(out);
            Send(out.data(), out.size(), 1, player);
        } else {
            OfferSprites(player);
        }
    }
    ++playerCount;
}

// The host offers the sprites that no player has taken yet.
void NetworkComponent::OfferSprites(unsigned long player) {
    std::vector<std::uint32_t> free;
    for (int d = 0; gNode && d < GameNode::DisplayLists; ++d)
        for (node* n = gNode->DisplayList(d).Head(); !n->EOList(); n = n->Next()) {
            auto* s = static_cast<Sprite*>(n);
            bool taken = false;
            for (const kiv::NetworkPlayer& other : players->list)
                taken |= !other.gone && other.sprite == s->Id();
            if (!taken && Takeable(s))
                free.push_back(static_cast<std::uint32_t>(s->Id()));
        }
    kiv::net::EncodeOffer(free.data(), free.size(), players->out);
    Send(players->out.data(), players->out.size(), 1, player);
}

void NetworkComponent::OnPlayerDestroyed(unsigned long player) {
    kiv::NetworkPlayer* p = players->Find(player);
    if (!p || p->gone)
        return;
    p->gone = true;
    --playerCount;
    // A player turned away from a full session never played: nobody needs to hear of it.
    if (hosting && !p->turnedAway) {
        kiv::net::EncodeValue(kiv::net::Resigned, static_cast<std::uint32_t>(player), players->out);
        Send(players->out.data(), players->out.size(), 1, 0);
    }
}

void NetworkComponent::OnSessionTerminated() {
    myGame->ReceivedFromPlayers(true);
    Box(kiv::Message(127), "Attention");
    FallBack();
}

bool NetworkComponent::OnMessage(unsigned long from, std::vector<unsigned char>& data) {
    kiv::net::Message& m = players->message;
    if (const char* why = kiv::net::Decode(data.data(), data.size(), m)) {
        kiv::Diagnostic("Network: a message of %zu bytes from player %lu is dropped: %s.",
                        data.size(), from, why);
        return false;
    }
    switch (m.kind) {
    case kiv::net::Offer:
        return OnOffer();
    case kiv::net::Choice:
        if (hosting)
            OnChoice(from);
        return false;
    case kiv::net::Accepted:
        return OnAccepted();
    case kiv::net::HostIs:
        hostPlayer = m.value;
        return false;
    case kiv::net::Full:
        Box(kiv::Message(129), "Reply");
        FallBack();
        return true;
    case kiv::net::Resigned:
        return OnResigned();
    case kiv::net::Inputs:
        KeepInputs(from, data.data(), data.size());
        players->inputsArrived = true;
        return false;
    }
    return false;
}

// The player picks a character among those offered; cancelling leaves the network game.
bool NetworkComponent::OnOffer() {
    std::vector<std::string> names;
    std::vector<std::uint32_t> ids;
    for (std::uint32_t id : players->message.sprites)
        if (Sprite* s = kiv::LevelSprite(static_cast<int>(id))) {
            names.emplace_back(s->Name());
            ids.push_back(id);
        }
    int chosen = kiv::platform::Current().GetDialogs().Choose("Choose your character", names);
    if (chosen < 0 || chosen >= static_cast<int>(ids.size())) {
        FallBack();
        return true;
    }
    kiv::net::EncodeValue(kiv::net::Choice, ids[static_cast<size_t>(chosen)], players->out);
    if (Send(players->out.data(), players->out.size(), 1, hostPlayer) != 0) {
        Box(kiv::Message(128), "Attention");
        FallBack();
    }
    return true;
}

// The host gives a player the sprite it chose when nobody has it yet, and tells everyone
// who plays which sprite; otherwise it offers what is still free.
void NetworkComponent::OnChoice(unsigned long from) {
    kiv::NetworkPlayer* p = players->Find(from);
    if (!p || p->gone || p->turnedAway)
        return;
    int id = static_cast<int>(players->message.value);
    bool taken = false;
    for (const kiv::NetworkPlayer& other : players->list)
        taken |= !other.gone && other.id != from && other.sprite == id;
    if (taken || !Takeable(kiv::LevelSprite(id)))
        return OfferSprites(from);
    p->sprite = id;
    // It plays from the next frame this copy sends: everyone hears of it before that
    // frame's inputs, so no copy can have played that frame without it.
    p->firstFrame = frameStamp;
    p->known = true;
    EncodeTable();
    Send(players->out.data(), players->out.size(), 1, 0);
    PassPast();
}

// The table of players with a sprite, as an Accepted message in the outgoing buffer.
void NetworkComponent::EncodeTable() {
    std::vector<kiv::net::Assignment>& table = players->table;
    table.clear();
    for (const kiv::NetworkPlayer& other : players->list)
        if (!other.gone && other.sprite)
            table.push_back({static_cast<std::uint32_t>(other.id),
                             static_cast<std::uint32_t>(other.sprite), other.firstFrame});
    kiv::net::EncodeAccepted(table.data(), table.size(), players->out);
}

bool NetworkComponent::OnAccepted() {
    const kiv::NetworkPlayer* before = players->Find(localPlayer);
    bool wasKnown = before && before->known;
    for (const kiv::net::Assignment& a : players->message.assignments) {
        kiv::NetworkPlayer* p = players->Find(a.player);
        if (!p) {
            p = &players->list.emplace_back();
            p->id = a.player;
        }
        p->sprite = static_cast<int>(a.sprite);
        p->firstFrame = a.firstFrame;
        p->known = true;
    }
    KeepPastInputs(!wasKnown);
    kiv::NetworkPlayer* self = players->Find(localPlayer);
    Sprite* own = self ? kiv::LevelSprite(self->sprite) : nullptr;
    if (own && gNode) {
        own->MainCharacter(true);
        gNode->WaitForOtherPlayers();
    }
    return false;
}

bool NetworkComponent::OnResigned() {
    kiv::NetworkPlayer* p = players->Find(players->message.value);
    if (p && !p->name.empty()) {
        char text[512];
        std::snprintf(text, sizeof text, kiv::Message(130), p->name.c_str());
        Box(text, "Attention");
    } else {
        Box(kiv::Message(131), "Attention");
    }
    FallBack();
    return true;
}

// Players that come later are started by the frame they first play in.
void NetworkComponent::StartPlayers() {
    for (const kiv::NetworkPlayer& p : players->list) {
        Sprite* s = p.gone ? nullptr : kiv::LevelSprite(p.sprite);
        if (!s)
            continue;
        if (p.Plays(players->played))
            Activate(*s);
        if (p.id == localPlayer) {
            s->MainCharacter(true);
            MainCharacterSprite = s;
        }
    }
    if (pKeyboard)
        pKeyboard->Reset();
    if (pMouse)
        pMouse->ResetKeys();
}
