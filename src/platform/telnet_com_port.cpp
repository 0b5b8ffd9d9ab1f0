#include "platform/telnet_com_port.h"

namespace orbus {

namespace {

void command(Bytes& out, std::uint8_t verb, std::uint8_t opt) {
    out.push_back(TelnetComPort::IAC);
    out.push_back(verb);
    out.push_back(opt);
}

// One COM-PORT request; its value bytes escaped as all data is.
void request(Bytes& out, std::uint8_t code, const Bytes& value) {
    out.insert(out.end(), {TelnetComPort::IAC, TelnetComPort::SB, TelnetComPort::OptComPort, code});
    for (std::uint8_t b : value) {
        out.push_back(b);
        if (b == TelnetComPort::IAC) out.push_back(TelnetComPort::IAC);
    }
    out.insert(out.end(), {TelnetComPort::IAC, TelnetComPort::SE});
}

}  // namespace

bool TelnetComPort::wantUs(std::uint8_t opt) {
    return opt == OptBinary || opt == OptSuppressGoAhead || opt == OptComPort;
}

// The server echoing the panel's bytes back would look like replies: the
// echo option is refused with every other one.
bool TelnetComPort::wantHim(std::uint8_t opt) { return opt == OptBinary || opt == OptSuppressGoAhead; }

Bytes TelnetComPort::start(const LineSettings& s) {
    settings_ = s;
    Bytes out;
    for (std::uint8_t opt : {OptComPort, OptBinary, OptSuppressGoAhead}) {
        us_[opt].asked = true;
        command(out, WILL, opt);
    }
    for (std::uint8_t opt : {OptBinary, OptSuppressGoAhead}) {
        him_[opt].asked = true;
        command(out, DO, opt);
    }
    return out;
}

Bytes TelnetComPort::settings(const LineSettings& s) {
    settings_ = s;
    return comPortAgreed() ? requests() : Bytes{};
}

Bytes TelnetComPort::requests() const {
    Bytes out;
    const auto baud = static_cast<std::uint32_t>(settings_.baud);
    request(out, SetBaudRate,
            {static_cast<std::uint8_t>(baud >> 24), static_cast<std::uint8_t>(baud >> 16),
             static_cast<std::uint8_t>(baud >> 8), static_cast<std::uint8_t>(baud)});
    request(out, SetDataSize, {static_cast<std::uint8_t>(settings_.dataBits == 7 ? 7 : 8)});
    // Parity: 1 none, 2 odd, 3 even. Stop size: 1 one, 2 two.
    request(out, SetParity,
            {static_cast<std::uint8_t>(settings_.parity == 'O' ? 2 : settings_.parity == 'E' ? 3 : 1)});
    request(out, SetStopSize, {static_cast<std::uint8_t>(settings_.stopBits == 2 ? 2 : 1)});
    // No flow control: the cameras have no handshake lines.
    request(out, SetControl, {1});
    return out;
}

Bytes TelnetComPort::escape(const Bytes& data) {
    Bytes out;
    out.reserve(data.size() + 2);
    for (std::uint8_t b : data) {
        out.push_back(b);
        if (b == IAC) out.push_back(IAC);
    }
    return out;
}

void TelnetComPort::verb(std::uint8_t cmd, std::uint8_t opt, Bytes& answer) {
    // Each side of an option answers a request only when it changes what
    // was agreed, so two ends never trade the same commands for ever.
    Side& us = us_[opt];
    Side& him = him_[opt];
    switch (cmd) {
    case DO:
        if (!wantUs(opt)) {
            command(answer, WONT, opt);
        } else if (!us.on) {
            us.on = true;
            if (!us.asked) command(answer, WILL, opt);
            us.asked = false;
            if (opt == OptComPort) {
                const Bytes r = requests();
                answer.insert(answer.end(), r.begin(), r.end());
            }
        }
        break;
    case DONT:
        if (us.on) {
            us.on = false;
            command(answer, WONT, opt);
        }
        us.asked = false;
        break;
    case WILL:
        if (!wantHim(opt)) {
            command(answer, DONT, opt);
        } else if (!him.on) {
            him.on = true;
            if (!him.asked) command(answer, DO, opt);
            him.asked = false;
        }
        break;
    case WONT:
        if (him.on) {
            him.on = false;
            command(answer, DONT, opt);
        }
        him.asked = false;
        break;
    default: break;
    }
}

void TelnetComPort::subnegotiation() {
    if (sbOption_ != OptComPort || sbSize_ == 0) return;
    if (sb_[0] == kServerOffset + SetBaudRate && sbSize_ >= 5) {
        const std::uint32_t baud = (std::uint32_t{sb_[1]} << 24) | (std::uint32_t{sb_[2]} << 16) |
                                   (std::uint32_t{sb_[3]} << 8) | std::uint32_t{sb_[4]};
        // A speed past what an int holds is no speed a server set.
        if (baud > 0 && baud <= 0x7FFFFFFFu) serverBaud_ = static_cast<int>(baud);
    }
    // Line and modem state notices, and the other confirmations, change
    // nothing the panel shows.
}

Bytes TelnetComPort::receive(const std::uint8_t* data, std::size_t size, Bytes& answer) {
    Bytes out;
    out.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = data[i];
        switch (state_) {
        case State::Data:
            if (b == IAC) state_ = State::Iac;
            else out.push_back(b);
            break;
        case State::Iac:
            if (b == IAC) {
                out.push_back(IAC);
                state_ = State::Data;
            } else if (b == SB) {
                state_ = State::SbOption;
            } else if (b >= WILL) {
                verb_ = b;
                state_ = State::Verb;
            } else {
                // No operation, go-ahead, a stray end of subnegotiation and
                // the like: nothing to do.
                state_ = State::Data;
            }
            break;
        case State::Verb:
            verb(verb_, b, answer);
            state_ = State::Data;
            break;
        case State::SbOption:
            sbOption_ = b;
            sbSize_ = 0;
            state_ = State::SbData;
            break;
        case State::SbData:
            if (b == IAC) {
                state_ = State::SbIac;
            } else if (sbSize_ < sb_.size()) {
                sb_[sbSize_++] = b;
            }
            break;
        case State::SbIac:
            if (b == IAC) {
                if (sbSize_ < sb_.size()) sb_[sbSize_++] = IAC;
                state_ = State::SbData;
            } else if (b == SE) {
                subnegotiation();
                state_ = State::Data;
            } else {
                // A command inside a subnegotiation ends it unread; the
                // command itself is taken as after any IAC.
                state_ = State::Iac;
                --i;
            }
            break;
        }
    }
    return out;
}

}  // namespace orbus
