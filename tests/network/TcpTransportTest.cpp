#include "platform/Transport.h"

#include "FreePort.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using kiv::platform::MakeTcpTransport;
using kiv::platform::SessionEvent;
using kiv::platform::Transport;

namespace {

const std::uint8_t Game[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const std::uint8_t Other[16] = {9};

// The next event of `t`, waiting for it at most five seconds.
SessionEvent Next(Transport& t) {
    SessionEvent e;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!t.Poll(e)) {
        if (std::chrono::steady_clock::now() > end) {
            ADD_FAILURE() << "no event within five seconds";
            return SessionEvent{SessionEvent::Terminated, 9999, {}, {}};
        }
        t.Wait(50);
    }
    return e;
}

void ExpectCreated(Transport& t, std::uint32_t id, const std::string& name) {
    SessionEvent e = Next(t);
    EXPECT_EQ(e.kind, SessionEvent::PlayerCreated);
    EXPECT_EQ(e.player, id);
    EXPECT_EQ(e.name, name);
}

void ExpectReceived(Transport& t, std::uint32_t from, const std::string& text) {
    SessionEvent e = Next(t);
    EXPECT_EQ(e.kind, SessionEvent::Received);
    EXPECT_EQ(e.player, from);
    EXPECT_EQ(std::string(e.data.begin(), e.data.end()), text);
}

// Connects to the loopback's `port` and writes `bytes` as they are, like a peer of another
// kind; returns the socket.
int RawPeer(std::uint16_t port, const std::string& bytes) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        write(s, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        ADD_FAILURE() << "cannot reach the host";
    return s;
}

bool Send(Transport& t, std::uint32_t to, const std::string& text) {
    return t.Send(to, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

} // namespace

TEST(TcpTransport, PlayersMeetThroughTheHostAndMessagesReachTheirAddressees) {
    std::uint16_t port = kiv::test::FreePort();
    auto host = MakeTcpTransport(), ann = MakeTcpTransport(), bob = MakeTcpTransport();
    ASSERT_EQ(host->Host(Game, port, "Host"), Transport::Result::Ok);
    ExpectCreated(*host, 1, "Host");
    ASSERT_EQ(ann->Join(Game, "localhost", port, "Ann"), Transport::Result::Ok);
    EXPECT_EQ(ann->LocalPlayer(), 2u);
    ExpectCreated(*ann, 1, "Host");
    ExpectCreated(*ann, 2, "Ann");
    ExpectCreated(*host, 2, "Ann");
    ASSERT_EQ(bob->Join(Game, "127.0.0.1", port, "Bob"), Transport::Result::Ok);
    ExpectCreated(*bob, 1, "Host");
    ExpectCreated(*bob, 2, "Ann");
    ExpectCreated(*bob, 3, "Bob");
    ExpectCreated(*host, 3, "Bob");
    ExpectCreated(*ann, 3, "Bob");

    // To all: the sender gets its own message at once, the others through the host, in order.
    ASSERT_TRUE(Send(*ann, 0, "a1"));
    ASSERT_TRUE(Send(*ann, 0, "a2"));
    ExpectReceived(*ann, 2, "a1");
    ExpectReceived(*ann, 2, "a2");
    ExpectReceived(*host, 2, "a1");
    ExpectReceived(*host, 2, "a2");
    ExpectReceived(*bob, 2, "a1");
    ExpectReceived(*bob, 2, "a2");
    // To one player only.
    ASSERT_TRUE(Send(*host, 3, "h"));
    ASSERT_TRUE(Send(*bob, 2, "b"));
    ASSERT_TRUE(Send(*ann, 1, "a"));
    ExpectReceived(*bob, 1, "h");
    ExpectReceived(*ann, 3, "b");
    ExpectReceived(*host, 2, "a");

    // A player that leaves is destroyed for everyone; the host leaving ends the session.
    bob->Close();
    SessionEvent e = Next(*host);
    EXPECT_EQ(e.kind, SessionEvent::PlayerDestroyed);
    EXPECT_EQ(e.player, 3u);
    e = Next(*ann);
    EXPECT_EQ(e.kind, SessionEvent::PlayerDestroyed);
    EXPECT_EQ(e.player, 3u);
    host->Close();
    EXPECT_EQ(Next(*ann).kind, SessionEvent::Terminated);
    EXPECT_FALSE(Send(*bob, 0, "after"));
}

TEST(TcpTransport, ForeignPeersAndBusyPortsAreRefusedWithAReason) {
    std::uint16_t port = kiv::test::FreePort();
    auto host = MakeTcpTransport();
    ASSERT_EQ(host->Host(Game, port, "Host"), Transport::Result::Ok);
    auto stranger = MakeTcpTransport();
    EXPECT_EQ(stranger->Join(Other, "localhost", port, "Eve"), Transport::Result::Failed);
    EXPECT_NE(stranger->Problem().find("another game"), std::string::npos) << stranger->Problem();
    auto second = MakeTcpTransport();
    EXPECT_EQ(second->Host(Game, port, "Again"), Transport::Result::PortUnusable);
    auto nobody = MakeTcpTransport();
    EXPECT_EQ(nobody->Join(Game, "localhost", kiv::test::FreePort(), "Ann"),
              Transport::Result::Failed);
    EXPECT_FALSE(nobody->Problem().empty());
    // The stranger never became a player; the host's log hears why it was refused.
    ExpectCreated(*host, 1, "Host");
    SessionEvent e = Next(*host);
    EXPECT_EQ(e.kind, SessionEvent::Notice);
    EXPECT_NE(e.name.find("refused: it plays another game"), std::string::npos) << e.name;
    EXPECT_FALSE(host->Poll(e));

    // A client of another protocol: its first bytes read as a frame far too long.
    int web = RawPeer(port, "GET / HTTP/1.0\r\n\r\n");
    e = Next(*host);
    EXPECT_EQ(e.kind, SessionEvent::Notice);
    EXPECT_NE(e.name.find("its connection is closed"), std::string::npos) << e.name;
    char reply;
    EXPECT_LE(read(web, &reply, 1), 0); // closed (or reset) by the host
    close(web);
    // The session goes on for a player of the right kind.
    auto ann = MakeTcpTransport();
    EXPECT_EQ(ann->Join(Game, "localhost", port, "Ann"), Transport::Result::Ok);
}
