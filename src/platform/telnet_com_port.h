// The Telnet side of a network port with the COM-PORT option: the panel's
// bytes go out with every FF doubled, the device server's Telnet commands are
// taken out of what comes in and answered, and the line's settings (speed,
// 8 data bits, no parity, one stop bit, no flow control) are asked of the
// server once it agrees to the option. No sockets here: the port that owns
// the connection feeds in what it read and writes what this gives back.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/serial_port.h"

namespace orbus {

class TelnetComPort {
public:
    // Telnet's bytes and the options the panel speaks.
    enum : std::uint8_t {
        SE = 240,
        SB = 250,
        WILL = 251,
        WONT = 252,
        DO = 253,
        DONT = 254,
        IAC = 255,
        OptBinary = 0,
        OptSuppressGoAhead = 3,
        OptComPort = 44,
    };
    // COM-PORT requests; the server answers each with its code plus 100.
    enum : std::uint8_t {
        SetBaudRate = 1,
        SetDataSize = 2,
        SetParity = 3,
        SetStopSize = 4,
        SetControl = 5,
        kServerOffset = 100,
    };
    // The longest subnegotiation kept; anything past it is dropped.
    static constexpr std::size_t kMaxSubnegotiation = 64;

    // What the panel offers when the connection opens: the COM-PORT option,
    // and binary transfer with no go-ahead both ways.
    Bytes start(const LineSettings& s);
    // New line settings: the requests for them once the server took the
    // option (nothing before; they go out when it does).
    Bytes settings(const LineSettings& s);
    // The panel's bytes as they go on the connection: every FF doubled.
    static Bytes escape(const Bytes& data);

    // Takes what came from the server: returns the camera's bytes in it and
    // appends to `answer` what the panel must send back. Commands may be cut
    // anywhere between two reads.
    Bytes receive(const std::uint8_t* data, std::size_t size, Bytes& answer);
    Bytes receive(const Bytes& in, Bytes& answer) { return receive(in.data(), in.size(), answer); }

    // Whether the server agreed to the COM-PORT option.
    bool comPortAgreed() const { return us_[OptComPort].on; }
    // The speed the server last said it set; 0 before it said one.
    int serverBaud() const { return serverBaud_; }

private:
    struct Side {
        bool on = false;     // agreed
        bool asked = false;  // our request is out, no answer yet
    };
    enum class State { Data, Iac, Verb, SbOption, SbData, SbIac };

    static bool wantUs(std::uint8_t opt);
    static bool wantHim(std::uint8_t opt);
    void verb(std::uint8_t cmd, std::uint8_t opt, Bytes& answer);
    void subnegotiation();
    Bytes requests() const;

    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    std::uint8_t sbOption_ = 0;
    std::array<std::uint8_t, kMaxSubnegotiation> sb_{};
    std::size_t sbSize_ = 0;
    std::array<Side, 256> us_{};
    std::array<Side, 256> him_{};
    LineSettings settings_;
    int serverBaud_ = 0;
};

}  // namespace orbus
