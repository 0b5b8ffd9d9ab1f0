// A serial port whose far end is a simulated camera chain, timed by the
// platform clock: replies land in the input buffer at their arrival time,
// and receive events are posted on the user-interface thread.
#pragma once

#include <deque>
#include <memory>

#include "chain.h"
#include "platform/clock.h"
#include "platform/serial_port.h"

namespace orbus::sim {

class SimSerialPort : public orbus::SerialPort {
public:
    SimSerialPort(Chain& chain, Clock& clock, EventPoster& poster);
    ~SimSerialPort() override;

    void setCommPort(int number) override { port_ = number; }
    int commPort() const override { return port_; }
    void setSettings(const LineSettings& s) override { settings_ = s; }
    void setDTREnable(bool) override {}
    bool open() override;
    void close() override;
    bool isOpen() const override { return open_ && !unplugged_; }
    std::string lastError() const override { return error_; }
    void setRThreshold(int n) override { rThreshold_ = n; }
    int rThreshold() const override { return rThreshold_; }
    void setSThreshold(int) override {}
    orbus::Bytes input() override;
    int inBufferCount() override;
    bool output(const orbus::Bytes& bytes) override;

    // The far end goes away (cable pulled): writes fail, a gone event follows.
    void unplug();
    // The line comes back: the port can be opened again.
    void plugBackIn() { unplugged_ = false; }
    // Bytes the panel wrote, in order.
    const orbus::Bytes& written() const { return written_; }
    void clearWritten() { written_.clear(); }
    int receiveEvents() const { return receiveEvents_; }
    Chain& chain() { return chain_; }

private:
    void pump();
    void deliver();
    // Replies put on the way to the panel, and the chain's next due one watched.
    void schedule(const std::vector<Chunk>& chunks);

    Chain& chain_;
    Clock& clock_;
    EventPoster& poster_;
    int port_ = 1;
    LineSettings settings_;
    bool open_ = false;
    bool unplugged_ = false;
    std::string error_;
    int rThreshold_ = 0;
    orbus::Bytes buffer_;
    std::deque<Chunk> pending_;
    orbus::Bytes written_;
    int receiveEvents_ = 0;
    double dueAsked_ = -1;  // the moment a timer will ask the chain again
    std::shared_ptr<bool> alive_;
};

}  // namespace orbus::sim
