// The network's clients of the chain: IP controllers, bare-packet
// controllers, JSON API and web page clients. Each client's packet goes to
// the camera it names through the command interface, with the client as
// its source, paced like the window's commands; each reply the camera gives
// to it goes back to that client. The hub keeps who started which drive, so
// that a drive still running when its client goes away (or falls silent)
// is stopped at the camera that moved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/command_sink.h"
#include "link/reply.h"
#include "platform/clock.h"
#include "platform/serial_port.h"

namespace orbus::net {

enum class ClientKind {
    Udp,  // an IP controller: 8-byte header and one packet per datagram
    Tcp,  // a controller sending bare packets over TCP
    Api,  // the JSON API (HTTP or WebSocket)
    Web,  // the web page
};
// "udp", "tcp", "api", "web".
const char* clientKindName(ClientKind kind);

using ClientId = int;  // 0 is no client

struct ClientInfo {
    ClientId id = 0;
    ClientKind kind = ClientKind::Udp;
    std::string address;  // as its transport gave it: "127.0.0.1:40312"
    // As the traffic view and Chain Status name it: "udp 127.0.0.1:40312".
    std::string name;
    int camera = 0;            // the camera of its last packet; 0 before any
    std::string lastCommand;   // that packet as it went to the camera, "81 01 04 07 02 FF"
    double lastHeard = 0;      // the clock's reading when it was last heard
    std::size_t pending = 0;   // its packets whose end has not come yet
};

enum class Submitted {
    Sent,           // on the line now
    Waiting,        // waits for the camera's free socket or its turn of the line
    Refused,        // no packet a camera takes; nothing went out
    UnknownCamera,  // no such camera on the chain
    UnknownClient,  // the client is not connected
    Busy,           // the client has too many packets without their end (a stop always goes)
    NotWritten,     // the port took nothing
};
// "sent", "waiting", "refused: not a packet a camera takes", ...
const char* submittedText(Submitted s);
bool accepted(Submitted s);
// A packet's last reply: a command's completion or error, an inquiry's answer, no answer.
bool replyEnds(const link::CommandReply& reply, bool inquiry);

// What a packet does to a motion of its camera, known by its body.
enum class Axis { None, PanTilt, Zoom, DigitalZoom, Focus, VerticalPhase };
struct Motion {
    Axis axis = Axis::None;
    enum What {
        Nothing,  // no motion concerned
        Starts,   // a drive that runs until stopped
        Stops,    // the stop of that drive
        TakesOver,  // moves the axis otherwise (a position, home): a drive of it ends
        EndsAll,  // a memory recall: every axis of the camera
    } what = Nothing;
};
Motion motionOf(const Bytes& packet);
// The stop of a drive (the header kept; a pan-tilt stop at the drive's speeds).
Bytes stopOf(const Bytes& drive);

class RemoteHub {
public:
    struct Options {
        std::size_t maxClients = 32;
        // Per client, packets handed to the line whose end has not come.
        std::size_t maxPending = 16;
        // An API or web client not heard this long has its drives stopped.
        double heartbeat = 1.0;
        // When above 0: a UDP or TCP controller's drives are stopped after
        // this long without a packet from it (they send their own stops).
        double controllerSilence = 0;
    };
    // Longest address kept for a client.
    static constexpr std::size_t kMaxAddress = 64;

    RemoteHub(link::CommandSink& commands, Clock& clock, EventPoster& poster);
    RemoteHub(link::CommandSink& commands, Clock& clock, EventPoster& poster, Options options);
    ~RemoteHub();
    RemoteHub(const RemoteHub&) = delete;
    RemoteHub& operator=(const RemoteHub&) = delete;

    const Options& options() const { return options_; }
    void setOptions(const Options& options) { options_ = options; }
    // The cameras packets may go to (unset: 1 to 7).
    void cameraExists(std::function<bool(int)> exists) { cameraExists_ = std::move(exists); }

    // ---- clients ------------------------------------------------------------------------
    // A client arrives: its id, or 0 when the hub holds maxClients already.
    ClientId connect(ClientKind kind, std::string_view address);
    // The client goes away: the drives it started are stopped.
    void disconnect(ClientId client);
    // The client was heard (a message, a heartbeat): its drives keep running.
    void heard(ClientId client);
    std::vector<ClientInfo> clients() const;
    const ClientInfo* client(ClientId client) const;
    std::size_t clientCount() const { return clients_.size(); }
    // A client came or went, or sent a packet.
    std::function<void()> onChanged;

    // ---- packets ------------------------------------------------------------------------
    // A client's packet for camera n (1 to 7): its address byte replaced by
    // 0x80 + n, sent through the command interface with the client as its
    // source, paced by the camera's sockets (a stop first; an inquiry on
    // its turn of the line). `onReply` hears each reply the camera gives to
    // it, or NoAnswer; it is not called once the client is gone, nor when
    // the packet is not accepted.
    Submitted submit(ClientId client, int camera, Bytes packet, link::ReplyListener onReply = {});

    // ---- drives -------------------------------------------------------------------------
    // Stops every drive a remote client started and that still runs: the
    // number of stops sent.
    int stopAllDrives();
    // Stops the drives one client started.
    int stopDrives(ClientId client);
    // Drives started by remote clients that still run: all, one client's.
    std::size_t drives() const { return drives_.size(); }
    std::size_t drivesOf(ClientId client) const;

private:
    struct Client {
        ClientInfo info;
    };
    struct Drive {
        ClientId owner;
        Bytes stop;
    };
    Client* find(ClientId id);
    // Told of every packet handed to the command interface, from anyone.
    void observed(const link::Command& command, link::SendOutcome outcome);
    int stopWhere(const std::function<bool(ClientId)>& owner);
    // Checks the silent clients' drives while any runs.
    void scheduleCheck();
    void check();
    void changed() {
        if (onChanged) onChanged();
    }

    link::CommandSink& commands_;
    Clock& clock_;
    EventPoster& poster_;
    Options options_;
    std::function<bool(int)> cameraExists_;
    std::map<ClientId, Client> clients_;
    ClientId nextId_ = 1;
    // Per camera and axis, the remote client whose drive runs there.
    std::map<std::pair<int, Axis>, Drive> drives_;
    // The client whose packet the hub is handing in (0: none).
    ClientId submitting_ = 0;
    bool checkScheduled_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace orbus::net
