// A daisy chain of 1 to 7 simulated cameras as the far end of a serial
// line: it assembles the panel's packets, routes them to the addressed
// camera or round the chain, and times the replies on the wire. Faults can
// be injected for tests.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "camera.h"

namespace orbus::sim {

struct Faults {
    bool silent = false;            // nobody answers
    double replyDelay = 0;          // extra seconds before every reply
    int dropEvery = 0;              // drop every Nth reply byte (0: none)
    double garbageRate = 0;         // chance of a random byte before each reply byte
    bool errorReplies = false;      // commands: acknowledge, then error 41
    bool networkChangeNext = false; // the next command is preceded by y0 38 FF (one shot)
    int splitChunk = 0;             // replies arrive in pieces of this many bytes
    unsigned seed = 1;
};

// Faults for one packet kind, by its body after the header (09 7E 7E 00 for
// the lens-block inquiry, 30 01 for the address set).
struct PacketFault {
    int silentTries = 0;   // the next N of these packets get no answer
    int corruptTries = 0;  // the next N answers have byte corruptByte changed
    int corruptByte = 1;
    int shortTries = 0;    // the next N answers lose their last shortBy bytes
    int shortBy = 1;
};

// Bytes that reach the panel's input buffer at one moment.
struct Chunk {
    double at;
    Bytes bytes;
};

class Chain {
public:
    // Cameras by model name, addressed 1..n in chain order as if an earlier
    // address set had numbered them. Unknown names are skipped.
    explicit Chain(const std::vector<std::string>& models);
    static constexpr int kMaxCameras = 7;

    int size() const { return static_cast<int>(cameras_.size()); }
    Camera& camera(int position) { return *cameras_.at(static_cast<std::size_t>(position)); }
    // The camera with this address, or nullptr.
    Camera* byAddress(int address);

    // Changing the chain between address sets: new cameras are unaddressed.
    void addCamera(const std::string& model);
    void removeCamera(int position);

    Faults faults;
    std::map<Bytes, PacketFault> packetFaults;
    // The speed the cameras listen at: 0 while none is set (they answer at
    // whatever speed the line is at); once set, by the owner or by a camera
    // that powered on at a new line speed, bytes at another speed are noise.
    int baud = 0;
    double ackDelay = 0.004;       // seconds from a packet to its acknowledge
    double completionDelay = 0.030;
    double inquiryDelay = 0.004;
    // Timed cameras keep two command sockets and take their time to carry
    // out a command (timing.h); untimed ones complete every command at once.
    bool timed = false;
    double executionScale = 1.0;  // multiplies every execution time (0.5: twice as fast)

    // The panel sends bytes at time t on a line set to lineBaud (0: not
    // known, timed as 9600); returns the replies as they will reach the panel.
    std::vector<Chunk> receive(const Bytes& bytes, double t, int lineBaud);
    // Timed: the completions of drives that reached the end of their travel
    // by time t, as they reach the panel (receive gives them too, before the
    // packet it handles). nextDue: when the next one is due, -1 for none.
    std::vector<Chunk> advance(double t);
    double nextDue() const;

    // Lets a test rewrite the replies to a packet before they go on the wire.
    std::function<void(const Bytes& packet, std::vector<Bytes>& replies)> mutate;

    // The complete packets the chain received, in order: the latest
    // receivedLimit of them at most. A long run drops the oldest half each
    // time the limit is passed; receivedDropped counts what went.
    std::vector<Bytes> received;
    std::size_t receivedLimit = 50000;
    std::size_t receivedDropped = 0;
    // Packets received since the chain was made, dropped ones included.
    std::size_t receivedTotal() const { return receivedDropped + received.size(); }
    // Drops the whole record, counted as dropped (a mark taken before stays right).
    void forgetReceived() {
        receivedDropped += received.size();
        received.clear();
    }
    // Traffic trace: ("<-", packet) from the panel, ("->", bytes) to it.
    std::function<void(const char*, const Bytes&)> trace;

    // "ORX-Kappa,KBM-R20" or "ORX-Kappa,KBM-R20@38400": models as in
    // checkModelList; the speed after '@' (9600, 19200 or 38400) is the one
    // the chain listens at. Any other text after '@' is a bad speed and is
    // ignored: the chain then listens at any speed, as it does without '@'.
    static std::unique_ptr<Chain> fromList(const std::string& commaSeparatedModels);

private:
    std::vector<Bytes> handlePacket(const Bytes& packet);
    std::vector<Bytes> faulted(const Bytes& packet);
    std::vector<Bytes> route(const Bytes& packet);
    Bytes applyByteFaults(const Bytes& reply);
    // Puts a reply on the wire no earlier than `ready`.
    void put(const Bytes& reply, double ready, std::vector<Chunk>& out);
    void releaseDue(double t, std::vector<Chunk>& out);

    std::vector<std::unique_ptr<Camera>> cameras_;
    Bytes partial_;
    double packetTime_ = -1;  // arrival of the packet being handled
    double lineFree_ = 0;
    double byteTime_ = 10.0 / 9600;
    // When each reply of the packet being handled is due (negative: the usual delay).
    std::vector<double> replyAt_;
    // Stretches the line is taken by replies already placed, in order.
    std::vector<std::pair<double, double>> wireBusy_;
    long replyBytes_ = 0;
    std::mt19937 rng_;
};

// A model list as an operator types it: "ORX-Beta, KBM-R05@19200".
struct ModelListCheck {
    std::vector<std::string> models;  // the names typed, blanks trimmed, empty items skipped
    int baud = 0;                     // the speed after '@', 0 for none or a bad one
    bool badSpeed = false;            // text after '@' that is not 9600, 19200 or 38400
    std::string unknown;              // the first name that is no camera model, empty when all are known
    bool tooMany = false;             // more names than a chain holds (7)
    bool empty = true;                // no name at all
};
ModelListCheck checkModelList(const std::string& list);

// The model names a list may hold, for people: "ORX-Alpha, ORX-Beta,
// ORX-Gamma, ORX-Kappa, KBM-R01 to KBM-R27".
std::string knownModelNames();

}  // namespace orbus::sim
