#include "platform/port_tap.h"

namespace orbus {

PortTap::PortTap(SerialPort& inner, Clock& clock, PortListener& listener)
    : inner_(inner), clock_(clock), listener_(listener) {
    inner_.onComm = [this](int event) {
        if (onComm) onComm(event);
    };
}

PortTap::~PortTap() { inner_.onComm = nullptr; }

Bytes PortTap::input() {
    Bytes b = inner_.input();
    if (!b.empty()) listener_.received(b, clock_.now());
    return b;
}

bool PortTap::output(const Bytes& bytes) {
    const bool written = inner_.output(bytes);
    if (written) listener_.sent(bytes, clock_.now());
    return written;
}

}  // namespace orbus
