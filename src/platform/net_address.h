// Network ports: a camera line carried by a serial device server, reached as
// "tcp://HOST:PORT" (the bytes as they are, both ways) or "rfc2217://HOST:PORT"
// (Telnet with the COM-PORT option, which also carries the line speed).
#pragma once

#include <string>

namespace orbus {

struct NetAddress {
    enum class Kind { Raw, ComPort };
    Kind kind = Kind::Raw;
    std::string host;  // a name, an IPv4 address, or an IPv6 address without its brackets
    int port = 0;      // 1 to 65535
};

// The forms a network port is written in, for an operator who typed another.
inline constexpr const char* kNetAddressForms = "tcp://HOST:PORT or rfc2217://HOST:PORT";

// Whether the text names a network port at all (it starts with one of the
// two schemes), well formed or not: such a text is never a device path.
bool looksLikeNetAddress(const std::string& text);

// Reads "tcp://HOST:PORT" or "rfc2217://HOST:PORT" ("[::1]" for an IPv6
// host). False, with `why` saying what is wrong, for anything else.
bool parseNetAddress(const std::string& text, NetAddress& out, std::string* why = nullptr);

// "HOST:PORT" (an IPv6 host in brackets), as the messages name the far end.
std::string hostPortText(const NetAddress& a);

}  // namespace orbus
