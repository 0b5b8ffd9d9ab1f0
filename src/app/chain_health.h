// The health of every camera on the chain, kept from the traffic on the
// line: what was sent to each camera, how it answered, and how fast.
#pragma once

#include <map>
#include <string>

#include "platform/clock.h"
#include "platform/serial_port.h"

namespace orbus {

struct CameraHealth {
    std::string model;  // from the last version answer; empty until then
    long commands = 0;
    long inquiries = 0;
    long acknowledges = 0;
    long completions = 0;
    long answers = 0;
    long timeouts = 0;            // inquiries left without an answer
    std::map<int, long> errors;   // by error code
    double lastReplyAt = -1;      // clock time of the last reply; -1 never
    double lastLatency = -1;      // seconds from a command to its completion or error
    double commandSentAt = -1;    // a command waits for its completion since then
    double inquirySentAt = -1;    // an inquiry waits for its answer since then
    double lastTimeoutAt = -1;
    Bytes pendingInquiry;

    long errorCount() const;
};

class ChainHealth {
public:
    // An inquiry unanswered this long counts as a time-out (the panel's own
    // wait for an answer is one second).
    static constexpr double kAnswerLimit = 1.0;
    // A command without any reply this long marks its camera as not answering.
    static constexpr double kSilenceLimit = 3.0;
    static constexpr int kCameras = 7;

    enum class State { NoTraffic, Answering, NotAnswering, NotOnChain };

    void sent(const Bytes& bytes, double now);
    void received(const Bytes& bytes, double now);
    // Counts the inquiries that are overdue by now as time-outs.
    void settle(double now);

    // Cameras the last address set found; -1 before the first.
    int found() const { return found_; }
    const CameraHealth& camera(int address) const;
    State state(int address, double now) const;
    // Raised on every change, so a window repaints only when needed.
    long changes() const { return changes_; }

private:
    void sentPacket(const Bytes& packet, double now);
    void receivedPacket(const Bytes& packet, double now);
    CameraHealth* at(int address);

    CameraHealth cameras_[kCameras];
    int found_ = -1;
    long changes_ = 0;
    Bytes outgoing_, incoming_;
};

// The panel's serial port with the chain's health kept from what passes
// through it; everything else is handed to the port underneath.
class TrafficTap : public SerialPort {
public:
    TrafficTap(SerialPort& inner, Clock& clock, ChainHealth& health);
    ~TrafficTap() override;

    void setCommPort(int number) override { inner_.setCommPort(number); }
    int commPort() const override { return inner_.commPort(); }
    void setSettings(const LineSettings& s) override { inner_.setSettings(s); }
    void setDTREnable(bool on) override { inner_.setDTREnable(on); }
    bool open() override { return inner_.open(); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    std::string lastError() const override { return inner_.lastError(); }
    void setRThreshold(int n) override { inner_.setRThreshold(n); }
    int rThreshold() const override { return inner_.rThreshold(); }
    void setSThreshold(int n) override { inner_.setSThreshold(n); }
    Bytes input() override;
    int inBufferCount() override { return inner_.inBufferCount(); }
    bool output(const Bytes& bytes) override;
    bool waitForInput(double seconds) override { return inner_.waitForInput(seconds); }

private:
    SerialPort& inner_;
    Clock& clock_;
    ChainHealth& health_;
};

}  // namespace orbus
