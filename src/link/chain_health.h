// The health of every camera on the chain, kept from the traffic on the
// line: what was sent to each camera, how it answered, and how fast. Only a
// well-formed reply counts for its camera: header y0 (y = 9 to F), a known
// kind with the length of its kind, FF at the end; anything else is counted
// as garbled for the whole line and never makes a camera look answering.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/answer_ledger.h"
#include "platform/clock.h"
#include "platform/port_tap.h"
#include "platform/serial_port.h"

namespace orbus {

struct CameraHealth {
    std::string model;  // from the last version answer; empty until then
    long commands = 0;
    long inquiries = 0;
    long acknowledges = 0;
    long completions = 0;
    long answers = 0;
    long timeouts = 0;            // inquiries left without a well-formed answer
    long unansweredInquiries = 0; // of those, the ones since the camera's last reply
    std::map<int, long> errors;   // by error code
    double lastReplyAt = -1;      // clock time of the last reply; -1 never
    double lastLatency = -1;      // seconds from a command to its completion or error
    // Latency of every command that ended, since the counters were reset.
    double latencyMin = -1, latencyMax = -1, latencySum = 0;
    long latencies = 0;
    // Commands the camera did not acknowledge (nor refuse) within the limit.
    long unacknowledged = 0;
    // Commands whose completion never came (given up by the panel's watchdog).
    long incomplete = 0;
    // Commands sent and not yet acknowledged or refused, oldest first.
    std::vector<std::pair<double, Bytes>> awaitingAck;
    double commandSentAt = -1;    // a command waits for its completion since then
    double inquirySentAt = -1;    // an inquiry waits for its answer since then
    double lastTimeoutAt = -1;
    Bytes pendingInquiry;
    // The first packet sent to the camera since its last reply went out
    // then; -1 while nothing sent waits for a reply.
    double unansweredSince = -1;
    // The last error reply: its code and when it came (-1 never).
    int lastErrorCode = -1;
    double lastErrorAt = -1;

    long errorCount() const;
    // The words for an error reply's code ("syntax", "buffer full", or
    // "code 7F" for one without a name).
    static std::string errorName(int code);
    double latencyAverage() const { return latencies > 0 ? latencySum / static_cast<double>(latencies) : -1; }
};

// A command no acknowledge came for in time.
struct UnacknowledgedCommand {
    int address;
    Bytes packet;
};

class ChainHealth : public PortListener {
public:
    // What the tables above the link know of packets, handed in: the model
    // a version answer names ("" for none), and the length of the answer to
    // an inquiry (0: any length will do).
    struct Tables {
        std::string (*modelName)(const std::vector<std::uint8_t>& versionAnswer) = nullptr;
        int (*answerLength)(const Bytes& inquiry) = nullptr;
    };
    ChainHealth() = default;
    explicit ChainHealth(Tables tables) : tables_(tables) {}

    // An inquiry unanswered this long counts as a time-out (the panel's own
    // wait for an answer is one second).
    static constexpr double kAnswerLimit = 1.0;
    // A command without any reply this long marks its camera as not answering.
    static constexpr double kSilenceLimit = 3.0;
    // A camera acknowledges (or refuses) a command within this.
    static constexpr double kAckLimit = 1.0;
    static constexpr int kCameras = 7;

    enum class State { NoTraffic, Answering, NotAnswering, NotOnChain };

    void sent(const Bytes& bytes, double now) override;
    void received(const Bytes& bytes, double now) override;
    // Counts the inquiries that are overdue by now as time-outs, and the
    // commands without acknowledge as unacknowledged (kept for takeOverdue).
    void settle(double now);
    // The panel gave up waiting for the completion of n commands of a camera.
    void noCompletion(int address, int n);
    // The commands found unacknowledged since the last call.
    std::vector<UnacknowledgedCommand> takeUnacknowledged();
    // Counters, errors and latencies back to zero (models, the chain found
    // and what is under way stay).
    void resetCounters();
    // An answer of camera `address`, well framed, turned out to hold values
    // no camera gives: counted as garbled, and taken back from the camera's
    // answers so that it does not make the camera look answering (its
    // inquiry is outstanding again, as if the answer had never come).
    void garbledAnswer(int address, double now);
    // Replies that were not well formed, and answers found garbled.
    long garbled() const { return garbled_; }

    // The reply log's answer lines, tied to the inquiries they answered.
    // The reply log has just completed a line holding `line` (called for
    // every line written, right after its bytes were read).
    void replyLogged(const Bytes& line);
    // What the answer on the line of `replyLog` at `pos` answered.
    std::optional<AnswerOrigin> answerOrigin(std::string_view replyLog, std::size_t pos) const {
        return ledger_.originAt(replyLog, pos);
    }

    // Cameras the last address set found; -1 before the first.
    int found() const { return found_; }
    // When a broadcast last came back from its trip round the chain (-1 never):
    // every camera on it passed it on.
    double broadcastBackAt() const { return broadcastBackAt_; }
    const CameraHealth& camera(int address) const;
    State state(int address, double now) const;
    // Raised on every change, so a window repaints only when needed.
    long changes() const { return changes_; }

private:
    void sentPacket(const Bytes& packet, double now);
    void receivedPacket(const Bytes& packet, double now);
    void receivedGarbage();
    CameraHealth* at(int address);

    // The last answer a camera gave, until anything else passes for it:
    // what garbledAnswer restores.
    struct Taken {
        bool valid = false;
        double replyBefore = -1;
        double inquirySentAt = -1;
        double unansweredSince = -1;
        long unansweredInquiries = 0;
        Bytes inquiry;
    };
    // An answer of the last read with the inquiry outstanding when it came.
    struct Arrival {
        Bytes answer;
        Bytes inquiry;
    };

    CameraHealth cameras_[kCameras];
    Taken taken_[kCameras];
    int found_ = -1;
    double broadcastBackAt_ = -1;
    long changes_ = 0;
    long garbled_ = 0;
    Bytes outgoing_, incoming_;
    bool incomingNoise_ = false;  // dropping a run too long to be a packet
    std::vector<Arrival> arrivals_;
    std::size_t arrivalsLogged_ = 0;
    AnswerLedger ledger_;
    Tables tables_{};
    std::vector<UnacknowledgedCommand> unacknowledged_;
};

}  // namespace orbus
