#pragma once

#include <kiv/Export.h>
#include <kiv/base/Types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Sprite;

namespace kiv {
namespace platform {
class Transport;
}
struct NetworkPlayers;
struct NetworkPlayer;

// One item of the outgoing queue: its kind and an owned copy of its bytes. The queue keeps
// its items (and their buffers) from frame to frame and reuses them.
struct QueueItem {
    unsigned char kind;
    unsigned int length;
    std::vector<unsigned char> data;
};
} // namespace kiv

// A network session shared by the players of one level. One player hosts it, the others
// join; every frame each player sends its inputs to all, and every copy of the game runs the
// same frames from the same inputs. The game (Game) owns it; everything it reports is
// handled on the game's thread, in HandleEvents.
class KIV_API NetworkComponent {
public:
    // GetPlayerInfo's flags.
    enum { PlayerLocal = 0x2, PlayerHost = 0x4 };

    NetworkComponent();
    ~NetworkComponent();
    NetworkComponent(const NetworkComponent&) = delete;
    NetworkComponent& operator=(const NetworkComponent&) = delete;

    // 0, or -1 when a session object exists already.
    int Init();
    void Kill();
    // 0 when the session runs; -1 (port 1000 or below, no message) or another negative
    // value after the message of what failed.
    int Host(GUID application, unsigned long port, const char* sessionName, const char* playerName);
    int Connect(GUID application, const char* hostName, unsigned long port, const char* playerName);
    // Sends to one player, or to all with `to` = 0 (this player too); messages always keep
    // their order. 0 when sent, -1 otherwise.
    int Send(unsigned char* data, unsigned long size, int sequential, unsigned long to);
    // The player's flags (PlayerLocal, PlayerHost) and name; -1 for an unknown player.
    int GetPlayerInfo(unsigned long player, int& flags, char*& name);
    void AddToQOut(unsigned char kind, unsigned char* data, unsigned int length);
    // All queued items as one inputs message to every player.
    void SendQOut();
    void ClearQOut();

    // Reacts to what the session reported since the last call, up to the first inputs
    // message. True when it showed a dialog or asked for a level switch (the frame then
    // ends there).
    bool HandleEvents();
    // Returns when the session reports something, or after `ms` milliseconds of real time.
    void WaitForEvents(unsigned int ms);
    // When every player that plays this frame (at least `required` of them) has sent its
    // inputs of it, hands them to the players' sprites and sets the game's
    // received-from-players flag.
    void CollectFrameInputs(int required);
    // This player came while the level ran and still replays the frames played before it.
    bool CatchingUp() const;

    bool Hosting() const { return hosting; }
    bool Joined() const { return joined; }
    unsigned long LocalPlayer() const { return localPlayer; }
    unsigned int PlayerCount() const { return playerCount; }
    // The sprite that `player` plays; null while it has none.
    Sprite* PlayerSprite(unsigned long player) const;
    // How many players have their sprites.
    int PlayersWithSprites() const;
    // Makes every player's sprite network-driven, with fresh input; the local player's
    // sprite becomes the main character.
    void StartPlayers();
    // The frames sent so far in this session (the stamp of the next inputs message).
    unsigned int FrameStamp() const { return frameStamp; }

private:
    void OnPlayerCreated(unsigned long player, const std::string& name);
    void OnPlayerDestroyed(unsigned long player);
    void OnSessionTerminated();
    bool OnMessage(unsigned long from, std::vector<unsigned char>& data);
    bool OnOffer();
    void OnChoice(unsigned long from);
    bool OnAccepted();
    bool OnResigned();
    void OfferSprites(unsigned long player);
    void EncodeTable();
    void KeepInputs(unsigned long from, const unsigned char* data, std::size_t size,
                    bool past = false);
    const char* Refusal(const kiv::NetworkPlayer& sender, std::uint32_t stamp, bool past) const;
    void KeepPastInputs(bool justIn);
    void PlayFrameInputs();
    void PassPast();
    static void Activate(Sprite& s);
    int Fail(int message);
    int Prepare(GUID application, unsigned long port, std::uint8_t (&id)[16]);

    bool hosting;
    bool joined;
    unsigned long localPlayer;
    unsigned int playerCount;
    unsigned long hostPlayer;
    std::unique_ptr<kiv::platform::Transport> transport;
    GUID application;
    std::vector<kiv::QueueItem> outgoing;
    std::size_t outgoingCount;
    unsigned int frameStamp;
    std::unique_ptr<kiv::NetworkPlayers> players;
};
