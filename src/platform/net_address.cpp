#include "platform/net_address.h"

namespace orbus {

namespace {

constexpr const char* kRaw = "tcp://";
constexpr const char* kComPort = "rfc2217://";

bool startsWith(const std::string& s, const char* head) { return s.rfind(head, 0) == 0; }

bool fail(std::string* why, std::string words) {
    if (why) *why = std::move(words);
    return false;
}

bool hostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_';
}

bool ipv6Character(char c) {
    return (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || (c >= '0' && c <= '9') || c == ':' || c == '.';
}

}  // namespace

bool looksLikeNetAddress(const std::string& text) { return startsWith(text, kRaw) || startsWith(text, kComPort); }

bool parseNetAddress(const std::string& text, NetAddress& out, std::string* why) {
    NetAddress a;
    std::string rest;
    if (startsWith(text, kRaw)) {
        a.kind = NetAddress::Kind::Raw;
        rest = text.substr(std::string(kRaw).size());
    } else if (startsWith(text, kComPort)) {
        a.kind = NetAddress::Kind::ComPort;
        rest = text.substr(std::string(kComPort).size());
    } else {
        return fail(why, "it does not start with tcp:// or rfc2217://");
    }
    std::string portText;
    if (!rest.empty() && rest[0] == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string::npos) return fail(why, "the '[' before the IPv6 address is not closed");
        a.host = rest.substr(1, close - 1);
        if (a.host.empty()) return fail(why, "the host is missing");
        for (char c : a.host) {
            if (!ipv6Character(c)) return fail(why, "\"" + a.host + "\" is no IPv6 address");
        }
        if (close + 1 >= rest.size() || rest[close + 1] != ':') return fail(why, "the port number is missing");
        portText = rest.substr(close + 2);
    } else {
        const std::size_t colon = rest.rfind(':');
        if (colon == std::string::npos) return fail(why, "the port number is missing");
        a.host = rest.substr(0, colon);
        portText = rest.substr(colon + 1);
        if (a.host.empty()) return fail(why, "the host is missing");
        for (char c : a.host) {
            if (!hostCharacter(c)) return fail(why, "\"" + a.host + "\" is no host name or address");
        }
    }
    if (portText.empty()) return fail(why, "the port number is missing");
    long port = 0;
    for (char c : portText) {
        if (c < '0' || c > '9') return fail(why, "\"" + portText + "\" is no port number");
        port = port * 10 + (c - '0');
        if (port > 65535) break;
    }
    if (port < 1 || port > 65535) return fail(why, "the port number is 1 to 65535, not " + portText);
    a.port = static_cast<int>(port);
    out = a;
    return true;
}

std::string hostPortText(const NetAddress& a) {
    const bool v6 = a.host.find(':') != std::string::npos;
    return (v6 ? "[" + a.host + "]" : a.host) + ":" + std::to_string(a.port);
}

}  // namespace orbus
