// The session transport over TCP, on standalone Asio. All socket work runs on one network
// thread; the game's thread posts what it sends and polls what arrived.

#include "platform/RingQueue.h"
#include "platform/Transport.h"

#include <asio.hpp>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

namespace kiv::platform {

namespace {

using asio::ip::tcp;
using Bytes = std::vector<std::uint8_t>;

constexpr char Magic[6] = {'K', 'I', 'V', 'N', 'E', 'T'};
constexpr std::uint16_t ProtocolVersion = 1;
constexpr auto HandshakeTime = std::chrono::seconds(5);
constexpr auto FlushTime = std::chrono::seconds(1);

// What a frame carries: its first byte.
enum Frame : std::uint8_t {
    Hello = 'H',     // joiner -> host: magic, version, session identifier, name
    Welcome = 'W',   // host -> joiner: magic, version, the joiner's player id
    Refused = 'R',   // host -> joiner: why, as text
    Created = 'C',   // host -> joiners: a player's id and name
    Destroyed = 'D', // host -> joiners: a player's id
    Data = 'M',      // joiner -> host: addressee and message; host -> joiner: sender and message
};

void Put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
std::uint32_t Get32(const std::uint8_t* p) {
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

// Names travel with a one-byte length.
void PutName(Bytes& b, const std::string& name) {
    size_t n = std::min<size_t>(name.size(), 255);
    b.push_back(static_cast<std::uint8_t>(n));
    b.insert(b.end(), name.begin(), name.begin() + static_cast<long>(n));
}
bool GetName(const Bytes& b, size_t at, std::string& name) {
    if (at >= b.size() || b.size() - at - 1 < b[at])
        return false;
    name.assign(b.begin() + static_cast<long>(at) + 1,
                b.begin() + static_cast<long>(at) + 1 + b[at]);
    return true;
}

bool HasMagic(const Bytes& b) {
    return b.size() >= 9 && std::memcmp(b.data() + 1, Magic, 6) == 0;
}
std::uint16_t VersionOf(const Bytes& b) {
    return static_cast<std::uint16_t>(b[7] | b[8] << 8);
}

// One connection: on the host, one per player that joined or is joining; on a joiner, the
// one to the host.
struct Peer {
    explicit Peer(tcp::socket s) : socket(std::move(s)), timer(socket.get_executor()) {}
    tcp::socket socket;
    asio::steady_timer timer; // the handshake's deadline
    std::uint8_t header[4] = {};
    Bytes body;
    RingQueue<Bytes> outbox;
    std::uint32_t id = 0; // 0 until the handshake is done
    std::string name;
    std::string address;
    bool closing = false; // shut once the outbox is empty
    bool gone = false;
};
using PeerPtr = std::shared_ptr<Peer>;

class TcpTransport : public Transport {
public:
    TcpTransport() : acceptor(io), flushTimer(io) {}
    ~TcpTransport() override { Close(); }

    Result Host(const std::uint8_t (&session)[16], std::uint16_t port,
                const std::string& playerName) override;
    Result Join(const std::uint8_t (&session)[16], const std::string& hostName, std::uint16_t port,
                const std::string& playerName) override;
    const std::string& Problem() const override { return problem; }
    bool Send(std::uint32_t to, const std::uint8_t* data, std::size_t size) override;
    bool Poll(SessionEvent& out) override;
    void Wait(std::uint32_t ms) override;
    std::uint32_t LocalPlayer() const override { return local; }
    void Close() override;

private:
    void Start();
    void Accept();
    void ReadHeader(const PeerPtr& p);
    void OnFrame(const PeerPtr& p);
    void OnHello(const PeerPtr& p);
    void OnHostFrame(const PeerPtr& p);
    void OnJoinerFrame(const PeerPtr& p);
    void Route(std::uint32_t from, std::uint32_t to, const std::uint8_t* data, size_t size);
    void Write(const PeerPtr& p, Bytes frame);
    void WriteNext(const PeerPtr& p);
    void Refuse(const PeerPtr& p, const std::string& why);
    void Lost(const PeerPtr& p);
    void Shut(const PeerPtr& p);
    void Report(SessionEvent::Kind kind, std::uint32_t player, const std::string& name = {},
                const std::uint8_t* data = nullptr, size_t size = 0);
    void Joined(bool ok, const std::string& why);
    Bytes Buffer();

    asio::io_context io;
    std::optional<asio::executor_work_guard<asio::io_context::executor_type>> work;
    std::thread thread;
    tcp::acceptor acceptor;
    asio::steady_timer flushTimer;
    std::vector<PeerPtr> peers; // network thread only
    bool hosting = false;
    bool closing = false; // network thread only: Close has begun
    std::uint32_t nextId = 2;
    std::uint8_t session[16] = {};
    std::string playerName;
    std::atomic<std::uint32_t> local{0};
    std::string problem;

    std::mutex lock; // guards what follows
    std::condition_variable changed;
    RingQueue<SessionEvent> events;
    std::vector<Bytes> spare; // buffers to reuse
    int joinState = 0;        // 0 waiting, 1 taken in, -1 refused or failed
    std::string joinProblem;
};

Bytes TcpTransport::Buffer() {
    std::lock_guard<std::mutex> guard(lock);
    if (spare.empty())
        return {};
    Bytes b = std::move(spare.back());
    spare.pop_back();
    b.clear();
    return b;
}

void TcpTransport::Start() {
    work.emplace(io.get_executor());
    thread = std::thread([this] { io.run(); });
}

TcpTransport::Result TcpTransport::Host(const std::uint8_t (&id)[16], std::uint16_t port,
                                        const std::string& name) {
    std::memcpy(session, id, 16);
    playerName = name;
    asio::error_code ec;
    tcp protocol = tcp::v6();
    acceptor.open(protocol, ec);
    if (!ec) // both IPv6 and IPv4 peers, where the system allows it
        acceptor.set_option(asio::ip::v6_only(false), ec);
    if (ec) {
        acceptor.close(ec);
        protocol = tcp::v4();
        acceptor.open(protocol, ec);
    }
    if (!ec)
        acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
    if (!ec)
        acceptor.bind(tcp::endpoint(protocol, port), ec);
    if (!ec)
        acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        problem = "cannot listen on port " + std::to_string(port) + ": " + ec.message();
        acceptor.close(ec);
        return Result::PortUnusable;
    }
    hosting = true;
    local = HostPlayer;
    Report(SessionEvent::PlayerCreated, HostPlayer, name);
    Accept();
    Start();
    return Result::Ok;
}

TcpTransport::Result TcpTransport::Join(const std::uint8_t (&id)[16], const std::string& hostName,
                                        std::uint16_t port, const std::string& name) {
    std::memcpy(session, id, 16);
    playerName = name;
    auto resolver = std::make_shared<tcp::resolver>(io);
    auto p = std::make_shared<Peer>(tcp::socket(io));
    p->address = hostName + ":" + std::to_string(port);
    peers.push_back(p);
    resolver->async_resolve(
        hostName, std::to_string(port),
        [this, p, resolver](asio::error_code ec, const tcp::resolver::results_type& found) {
            if (ec)
                return Joined(false, "cannot find the host " + p->address + ": " + ec.message());
            asio::async_connect(
                p->socket, found, [this, p](asio::error_code ec, const tcp::endpoint&) {
                    if (ec)
                        return Joined(false, "cannot reach " + p->address + ": " + ec.message());
                    p->socket.set_option(tcp::no_delay(true), ec);
                    Bytes hello{Hello};
                    hello.insert(hello.end(), Magic, Magic + 6);
                    Put16(hello, ProtocolVersion);
                    hello.insert(hello.end(), session, session + 16);
                    PutName(hello, playerName);
                    Write(p, std::move(hello));
                    ReadHeader(p);
                });
        });
    Start();
    std::unique_lock<std::mutex> guard(lock);
    bool answered = changed.wait_for(guard, HandshakeTime + std::chrono::seconds(1),
                                     [this] { return joinState != 0; });
    if (answered && joinState > 0)
        return Result::Ok;
    problem = answered ? joinProblem : "no answer from " + p->address + " within 6 seconds";
    guard.unlock();
    Close();
    return Result::Failed;
}

void TcpTransport::Joined(bool ok, const std::string& why) {
    std::lock_guard<std::mutex> guard(lock);
    if (joinState != 0)
        return;
    joinState = ok ? 1 : -1;
    joinProblem = why;
    changed.notify_all();
}

void TcpTransport::Accept() {
    acceptor.async_accept([this](asio::error_code ec, tcp::socket s) {
        if (ec)
            return; // closed
        auto p = std::make_shared<Peer>(std::move(s));
        p->socket.set_option(tcp::no_delay(true), ec);
        auto remote = p->socket.remote_endpoint(ec);
        p->address = ec ? "an unknown address" : remote.address().to_string();
        peers.push_back(p);
        p->timer.expires_after(HandshakeTime);
        p->timer.async_wait([this, weak = std::weak_ptr<Peer>(p)](asio::error_code ec) {
            if (auto p = weak.lock(); !ec && p && p->id == 0 && !p->gone)
                Refuse(p, "it did not introduce itself within 5 seconds");
        });
        ReadHeader(p);
        Accept();
    });
}

void TcpTransport::ReadHeader(const PeerPtr& p) {
    asio::async_read(p->socket, asio::buffer(p->header), [this, p](asio::error_code ec, size_t) {
        if (ec)
            return Lost(p);
        std::uint32_t size = Get32(p->header);
        if (size == 0 || size > MaxFrameSize) {
            Report(SessionEvent::Notice, 0,
                   "the peer at " + p->address + " sent a frame of " + std::to_string(size) +
                       " bytes (at most " + std::to_string(MaxFrameSize) +
                       " are allowed); its connection is closed");
            return Lost(p);
        }
        p->body.resize(size);
        asio::async_read(p->socket, asio::buffer(p->body), [this, p](asio::error_code ec, size_t) {
            if (ec)
                return Lost(p);
            OnFrame(p);
            if (!p->gone)
                ReadHeader(p);
        });
    });
}

void TcpTransport::OnFrame(const PeerPtr& p) {
    if (p->closing)
        return;
    if (hosting && p->id == 0)
        OnHello(p);
    else if (hosting)
        OnHostFrame(p);
    else
        OnJoinerFrame(p);
}

// The host takes a player in: its id, the players already there, then its own creation
// for everyone.
void TcpTransport::OnHello(const PeerPtr& p) {
    const Bytes& b = p->body;
    if (b[0] != Hello || !HasMagic(b) || b.size() < 26)
        return Refuse(p, "it does not speak the session protocol of KivCore");
    if (VersionOf(b) != ProtocolVersion)
        return Refuse(p, "it speaks version " + std::to_string(VersionOf(b)) +
                             " of the session protocol, this game version " +
                             std::to_string(ProtocolVersion));
    if (std::memcmp(b.data() + 9, session, 16) != 0)
        return Refuse(p, "it plays another game (its session identifier differs)");
    if (!GetName(b, 25, p->name))
        return Refuse(p, "its introduction is cut short");
    p->timer.cancel();
    p->id = nextId++;
    Bytes welcome{Welcome};
    welcome.insert(welcome.end(), Magic, Magic + 6);
    Put16(welcome, ProtocolVersion);
    Put32(welcome, p->id);
    Write(p, std::move(welcome));
    auto created = [](std::uint32_t id, const std::string& name) {
        Bytes c{Created};
        Put32(c, id);
        PutName(c, name);
        return c;
    };
    Write(p, created(HostPlayer, playerName));
    for (const PeerPtr& other : peers)
        if (other != p && other->id && !other->gone)
            Write(p, created(other->id, other->name));
    for (const PeerPtr& other : peers)
        if (other->id && !other->gone)
            Write(other, created(p->id, p->name));
    Report(SessionEvent::PlayerCreated, p->id, p->name);
}

void TcpTransport::OnHostFrame(const PeerPtr& p) {
    const Bytes& b = p->body;
    if (b[0] != Data || b.size() < 5) {
        Report(SessionEvent::Notice, 0,
               "the peer at " + p->address +
                   " sent a frame the session does not know; it is dropped");
        return;
    }
    Route(p->id, Get32(b.data() + 1), b.data() + 5, b.size() - 5);
}

// The host passes a message on: to its addressee, or to everyone but its sender.
void TcpTransport::Route(std::uint32_t from, std::uint32_t to, const std::uint8_t* data,
                         size_t size) {
    Bytes frame;
    for (const PeerPtr& other : peers) {
        if (!other->id || other->gone || other->id == from || (to != 0 && to != other->id))
            continue;
        frame = Buffer();
        frame.push_back(Data);
        Put32(frame, from);
        frame.insert(frame.end(), data, data + size);
        Write(other, std::move(frame));
    }
    if (from != HostPlayer && (to == 0 || to == HostPlayer))
        Report(SessionEvent::Received, from, {}, data, size);
}

void TcpTransport::OnJoinerFrame(const PeerPtr& p) {
    const Bytes& b = p->body;
    if (p->id == 0) { // the host's answer to the introduction
        if (b[0] == Refused)
            return Joined(false,
                          "the host refused this player: " + std::string(b.begin() + 1, b.end()));
        if (b[0] != Welcome || !HasMagic(b) || b.size() != 13 || VersionOf(b) != ProtocolVersion)
            return Joined(false, "the peer at " + p->address +
                                     " does not speak this version of the session protocol");
        p->id = HostPlayer;
        local = Get32(b.data() + 9);
        return Joined(true, {});
    }
    std::string name;
    if (b[0] == Created && b.size() >= 6 && GetName(b, 5, name))
        Report(SessionEvent::PlayerCreated, Get32(b.data() + 1), name);
    else if (b[0] == Destroyed && b.size() == 5)
        Report(SessionEvent::PlayerDestroyed, Get32(b.data() + 1));
    else if (b[0] == Data && b.size() >= 5)
        Report(SessionEvent::Received, Get32(b.data() + 1), {}, b.data() + 5, b.size() - 5);
    else
        Report(SessionEvent::Notice, 0,
               "the host sent a frame the session does not know; it is dropped");
}

void TcpTransport::Write(const PeerPtr& p, Bytes frame) {
    if (p->gone)
        return;
    Bytes out = Buffer();
    Put32(out, static_cast<std::uint32_t>(frame.size()));
    out.insert(out.end(), frame.begin(), frame.end());
    {
        std::lock_guard<std::mutex> guard(lock);
        spare.push_back(std::move(frame));
    }
    p->outbox.push_back(std::move(out));
    if (p->outbox.size() == 1)
        WriteNext(p);
}

void TcpTransport::WriteNext(const PeerPtr& p) {
    asio::async_write(p->socket, asio::buffer(p->outbox.front()),
                      [this, p](asio::error_code ec, size_t) {
                          if (ec)
                              return Lost(p);
                          {
                              std::lock_guard<std::mutex> guard(lock);
                              spare.push_back(std::move(p->outbox.front()));
                          }
                          p->outbox.pop_front();
                          if (!p->outbox.empty())
                              WriteNext(p);
                          else if (p->closing)
                              Shut(p);
                      });
}

void TcpTransport::Refuse(const PeerPtr& p, const std::string& why) {
    Report(SessionEvent::Notice, 0, "a peer from " + p->address + " is refused: " + why);
    Bytes refusal{Refused};
    refusal.insert(refusal.end(), why.begin(), why.end());
    Write(p, std::move(refusal));
    p->closing = true;
}

// Sending is over; reading goes on until the other side closes too, so that nothing it
// still had to say resets the connection.
void TcpTransport::Shut(const PeerPtr& p) {
    asio::error_code ec;
    p->socket.shutdown(tcp::socket::shutdown_send, ec);
}

void TcpTransport::Lost(const PeerPtr& p) {
    if (p->gone)
        return;
    p->gone = true;
    asio::error_code ec;
    p->timer.cancel();
    p->socket.close(ec);
    std::erase(peers, p);
    if (closing) {
        if (peers.empty())
            flushTimer.cancel();
        return;
    }
    if (!hosting) {
        if (p->id)
            Report(SessionEvent::Terminated, HostPlayer);
        else
            Joined(false, "the connection to " + p->address + " closed during the introduction");
        return;
    }
    if (!p->id)
        return;
    Report(SessionEvent::PlayerDestroyed, p->id);
    for (const PeerPtr& other : peers)
        if (other->id && !other->gone) {
            Bytes d{Destroyed};
            Put32(d, p->id);
            Write(other, std::move(d));
        }
}

void TcpTransport::Report(SessionEvent::Kind kind, std::uint32_t player, const std::string& name,
                          const std::uint8_t* data, size_t size) {
    std::lock_guard<std::mutex> guard(lock);
    SessionEvent& e = events.push_back();
    e.kind = kind;
    e.player = player;
    e.name = name;
    if (!spare.empty()) {
        e.data = std::move(spare.back());
        spare.pop_back();
    }
    e.data.assign(data, data + size);
    changed.notify_all();
}

bool TcpTransport::Send(std::uint32_t to, const std::uint8_t* data, std::size_t size) {
    if (!local || !thread.joinable() || size > MaxFrameSize - 5)
        return false;
    if (to == 0 || to == local)
        Report(SessionEvent::Received, local, {}, data, size);
    if (to == local)
        return true;
    Bytes message = Buffer();
    message.insert(message.end(), data, data + size);
    asio::post(io, [this, to, message = std::move(message)]() mutable {
        if (hosting) {
            Route(HostPlayer, to, message.data(), message.size());
        } else if (!peers.empty()) {
            Bytes frame = Buffer();
            frame.push_back(Data);
            Put32(frame, to);
            frame.insert(frame.end(), message.begin(), message.end());
            Write(peers.front(), std::move(frame));
        }
        std::lock_guard<std::mutex> guard(lock);
        spare.push_back(std::move(message));
    });
    return true;
}

bool TcpTransport::Poll(SessionEvent& out) {
    std::lock_guard<std::mutex> guard(lock);
    if (events.empty())
        return false;
    SessionEvent& e = events.front();
    out.kind = e.kind;
    out.player = e.player;
    out.name.swap(e.name);
    out.data.swap(e.data);
    spare.push_back(std::move(e.data));
    events.pop_front();
    return true;
}

void TcpTransport::Wait(std::uint32_t ms) {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait_for(guard, std::chrono::milliseconds(ms), [this] { return !events.empty(); });
}

void TcpTransport::Close() {
    if (thread.joinable()) {
        asio::post(io, [this] {
            closing = true;
            asio::error_code ec;
            acceptor.close(ec);
            for (const PeerPtr& p : peers) {
                p->closing = true;
                if (p->outbox.empty())
                    Shut(p);
            }
            if (peers.empty())
                return;
            flushTimer.expires_after(FlushTime);
            flushTimer.async_wait([this](asio::error_code) {
                for (const PeerPtr& p : std::vector<PeerPtr>(peers))
                    Lost(p);
            });
        });
        work.reset();
        thread.join();
    }
    asio::error_code ec;
    acceptor.close(ec);
    peers.clear();
    local = 0;
    std::lock_guard<std::mutex> guard(lock);
    events.clear();
}

} // namespace

std::unique_ptr<Transport> MakeTcpTransport() {
    return std::make_unique<TcpTransport>();
}

} // namespace kiv::platform
