#include "link/packet.h"

#include "platform/text.h"

namespace orbus {

bool ToByteArray(const std::vector<int>& values, Bytes& bytes) {
    Bytes out;
    out.reserve(values.size());
    for (int v : values) {
        if (v < 0 || v > 255) return false;
        out.push_back(static_cast<std::uint8_t>(v));
    }
    bytes = std::move(out);
    return true;
}

std::string trafficBytes(const Bytes& bytes) {
    std::string s;
    s.reserve(bytes.size() * 3);
    for (auto b : bytes) {
        s += hex2(b);
        s += ' ';
    }
    return s;
}

std::string trafficLine(const Bytes& bytes) { return trafficBytes(bytes) + "\r\n"; }

void trimLog(std::string& text) {
    if (text.size() > kLogLimit) text.erase(0, text.size() - kLogLimit);
}

std::string packetText(const Bytes& bytes) {
    std::string s = trafficBytes(bytes);
    if (!s.empty()) s.pop_back();
    return s;
}

int replyCamera(std::uint8_t header) {
    if ((header & 0x0F) != 0 || header < 0x90) return 0;
    return (header >> 4) - 8;
}

Bytes ifClearBroadcast() { return {0x88, 0x01, 0x00, 0x01, 0xFF}; }
Bytes addressSetBroadcast() { return {0x88, 0x30, 0x01, 0xFF}; }

}  // namespace orbus
