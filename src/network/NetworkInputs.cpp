// The inputs of every frame: kept by the stamp of the frame they belong to, handed to the
// players' sprites when every player of that frame has sent its own, and, for a player who
// comes while the level runs, passed on by the host so that it can replay what it missed.

#include <kiv/game/Game.h>
#include <kiv/game/GameNode.h>
#include <kiv/network/NetworkComponent.h>
#include <kiv/sprites/Sprite.h>

#include "base/Diagnostics.h"
#include "network/NetworkPlayers.h"

#include <algorithm>

namespace {

// Before a player is in the game it keeps only the latest few inputs of each other player:
// the ones of its own first frame are among them, the older ones come as past inputs.
constexpr std::size_t KeptBeforeAccepted = 4;

// The slot of `stamp` among the pending inputs; `pendingCount` when there is none.
std::size_t PendingSlot(const kiv::NetworkPlayer& p, std::uint32_t stamp) {
    std::size_t i = 0;
    while (i < p.pendingCount && kiv::net::StampOf(p.pending[i].data()) != stamp)
        ++i;
    return i;
}

// Frees a slot; its buffer stays for the next inputs. The order of slots does not matter.
void Release(kiv::NetworkPlayer& p, std::size_t slot) {
    std::swap(p.pending[slot], p.pending[--p.pendingCount]);
}

} // namespace

void NetworkComponent::Activate(Sprite& s) {
    s.m_NetworkPlayer = s.m_NetworkActive = true;
    s.ClearQ();
    s.Keyboard_Reset();
    s.Mouse_Reset();
}

// Why inputs of `sender` stamped `stamp` cannot be played; null when they can. A player is
// at most one frame ahead of the slowest (it waits for everyone's inputs before it sends its
// next), so anything further ahead did not come from a player of this session.
const char* NetworkComponent::Refusal(const kiv::NetworkPlayer& sender, std::uint32_t stamp,
                                      bool past) const {
    const kiv::NetworkPlayer* self = players->Find(localPlayer);
    std::uint32_t now = std::max(players->played, self->firstFrame);
    if (stamp < players->played)
        return "inputs of a frame already played";
    if (stamp > now + 1 || (past && stamp >= self->firstFrame))
        return "inputs of a frame too far ahead";
    if (!sender.Plays(stamp))
        return "inputs of a player who does not play that frame";
    if (PendingSlot(sender, stamp) != sender.pendingCount)
        return "a second message of inputs for one frame";
    return nullptr;
}

void NetworkComponent::KeepInputs(unsigned long from, const unsigned char* data, std::size_t size,
                                  bool past) {
    kiv::NetworkPlayer* sender = players->Find(from);
    const kiv::NetworkPlayer* self = players->Find(localPlayer);
    const char* why = kiv::net::Decode(data, size, players->checked);
    if (!why && players->checked.kind != kiv::net::Inputs)
        why = "past inputs that are not inputs";
    std::uint32_t stamp = why ? 0 : players->checked.value;
    if (!why && !sender)
        why = "inputs of an unknown player";
    if (!why && self && self->known) {
        // Inputs of frames before this player came in reach it again among the past inputs.
        if (!past && stamp < self->firstFrame)
            return;
        why = Refusal(*sender, stamp, past);
    }
    if (why) {
        kiv::Diagnostic("Network: inputs of %zu bytes from player %lu are dropped: %s.", size, from,
                        why);
        return;
    }
    if ((!self || !self->known) && sender->pendingCount == KeptBeforeAccepted) {
        std::rotate(sender->pending.begin(), sender->pending.begin() + 1,
                    sender->pending.begin() + KeptBeforeAccepted);
        --sender->pendingCount;
    }
    if (sender->pendingCount == sender->pending.size())
        sender->pending.emplace_back();
    sender->pending[sender->pendingCount++].assign(data, data + size);
}

// On joining a level that runs: the inputs this player did not see. When it has just come
// in, the live inputs it kept of frames before its own go: they come again as past inputs.
void NetworkComponent::KeepPastInputs(bool justIn) {
    const kiv::NetworkPlayer* self = players->Find(localPlayer);
    if (!self || !self->known)
        return;
    for (kiv::NetworkPlayer& p : players->list)
        for (std::size_t i = p.pendingCount; justIn && i-- > 0;)
            if (kiv::net::StampOf(p.pending[i].data()) < self->firstFrame)
                Release(p, i);
    for (const kiv::net::PastInputs& past : players->message.past)
        KeepInputs(past.player, past.data, past.size, true);
}

void NetworkComponent::CollectFrameInputs(int required) {
    if (myGame->ReceivedFromPlayers())
        return;
    std::uint32_t frame = players->played;
    int playing = 0;
    for (const kiv::NetworkPlayer& p : players->list)
        if (p.Plays(frame)) {
            if (PendingSlot(p, frame) == p.pendingCount)
                return;
            ++playing;
        }
    if (playing < required)
        return;
    PlayFrameInputs();
    ++players->played;
    PassPast();
    myGame->ReceivedFromPlayers(true);
}

// Every player's inputs of this frame go to its sprite's queue; a player who plays its first
// frame starts with fresh input. The host keeps them when players may still come.
void NetworkComponent::PlayFrameInputs() {
    std::uint32_t frame = players->played;
    bool keep = hosting && gNode && gNode->MaxPlayers() > gNode->PlayersNeeded();
    if (keep)
        players->pastFrames.push_back(players->past.size());
    for (kiv::NetworkPlayer& p : players->list) {
        if (!p.Plays(frame))
            continue;
        std::size_t slot = PendingSlot(p, frame);
        std::vector<unsigned char>& bytes = p.pending[slot];
        Sprite* s = kiv::LevelSprite(p.sprite);
        if (s && p.firstFrame == frame && !s->IsActiveNetworkPlayer())
            Activate(*s);
        if (s && !kiv::net::Decode(bytes.data(), bytes.size(), players->message))
            for (const kiv::net::ItemView& item : players->message.items)
                s->AddToQ(item.kind, const_cast<unsigned char*>(item.data), item.length);
        if (keep)
            kiv::net::AppendPastInputs(static_cast<std::uint32_t>(p.id), bytes.data(),
                                       static_cast<std::uint32_t>(bytes.size()), players->past);
        Release(p, slot);
    }
}

// The host passes on to each player who came while the level ran the frames played before
// its first, as soon as they are played, in messages of at most the largest size.
void NetworkComponent::PassPast() {
    if (!hosting)
        return;
    const std::vector<std::size_t>& starts = players->pastFrames;
    auto end = [&](std::uint32_t f) {
        return f + 1 < starts.size() ? starts[f + 1] : players->past.size();
    };
    for (kiv::NetworkPlayer& p : players->list) {
        std::uint32_t upto = std::min<std::uint32_t>(
            {players->played, p.firstFrame, static_cast<std::uint32_t>(starts.size())});
        while (p.id != localPlayer && p.Plays(p.firstFrame) && p.pastSent < upto) {
            EncodeTable();
            std::size_t from = starts[p.pastSent],
                        room = kiv::net::MaxMessageSize - players->out.size();
            std::uint32_t f = p.pastSent;
            while (f < upto && end(f) - from <= room)
                ++f;
            if (f == p.pastSent) {
                kiv::Diagnostic("Network: the inputs of frame %u do not fit in one message; "
                                "player %lu cannot join.",
                                f, p.id);
                p.pastSent = upto;
                break;
            }
            players->out.insert(players->out.end(), players->past.begin() + static_cast<long>(from),
                                players->past.begin() + static_cast<long>(end(f - 1)));
            Send(players->out.data(), players->out.size(), 1, p.id);
            p.pastSent = f;
        }
    }
}

bool NetworkComponent::CatchingUp() const {
    const kiv::NetworkPlayer* self = players->Find(localPlayer);
    return self && self->known && players->played < self->firstFrame;
}
