#include "sim_port.h"

#include <algorithm>

namespace orbus::sim {

SimSerialPort::SimSerialPort(Chain& chain, Clock& clock, EventPoster& poster)
    : chain_(chain), clock_(clock), poster_(poster), alive_(std::make_shared<bool>(true)) {}

SimSerialPort::~SimSerialPort() { *alive_ = false; }

bool SimSerialPort::open() {
    if (unplugged_) {
        error_ = "the simulated line is unplugged";
        return false;
    }
    open_ = true;
    error_.clear();
    return true;
}

void SimSerialPort::close() {
    open_ = false;
    buffer_.clear();
    pending_.clear();
}

void SimSerialPort::pump() {
    const double now = clock_.now();
    while (!pending_.empty() && pending_.front().at <= now) {
        auto& b = pending_.front().bytes;
        buffer_.insert(buffer_.end(), b.begin(), b.end());
        pending_.pop_front();
    }
}

orbus::Bytes SimSerialPort::input() {
    pump();
    orbus::Bytes out;
    out.swap(buffer_);
    return out;
}

int SimSerialPort::inBufferCount() {
    pump();
    return static_cast<int>(buffer_.size());
}

bool SimSerialPort::output(const orbus::Bytes& bytes) {
    if (!open_ || unplugged_) return false;
    written_.insert(written_.end(), bytes.begin(), bytes.end());
    schedule(chain_.receive(bytes, clock_.now(), settings_.baud));
    return true;
}

void SimSerialPort::schedule(const std::vector<Chunk>& chunks) {
    const double now = clock_.now();
    for (const auto& c : chunks) {
        auto pos = std::upper_bound(pending_.begin(), pending_.end(), c.at,
                                    [](double t, const Chunk& k) { return t < k.at; });
        pending_.insert(pos, c);
        std::weak_ptr<bool> alive = alive_;
        poster_.post(c.at - now, [this, alive] {
            if (auto a = alive.lock(); a && *a) deliver();
        });
    }
    // A drive that runs to its end completes then, unless a stop comes
    // first: the chain is asked again at that moment.
    const double due = chain_.nextDue();
    if (due >= 0 && due != dueAsked_) {
        dueAsked_ = due;
        std::weak_ptr<bool> alive = alive_;
        poster_.post(std::max(0.0, due - now), [this, alive] {
            auto a = alive.lock();
            if (!a || !*a || !open_) return;
            dueAsked_ = -1;
            schedule(chain_.advance(clock_.now()));
        });
    }
}

void SimSerialPort::deliver() {
    if (!open_) return;
    pump();
    if (rThreshold_ >= 1 && !buffer_.empty() && onComm) {
        ++receiveEvents_;
        onComm(ComEvReceive);
    }
}

void SimSerialPort::unplug() {
    unplugged_ = true;
    pending_.clear();
    std::weak_ptr<bool> alive = alive_;
    poster_.post(0, [this, alive] {
        if (auto a = alive.lock(); a && *a && open_ && onComm) onComm(ComEventGone);
    });
}

}  // namespace orbus::sim
