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

std::string sentLine(const Bytes& bytes, bool written) {
    return written ? trafficLine(bytes) : trafficBytes(bytes) + "(not sent)\r\n";
}

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

bool wellFormedPacket(const Bytes& bytes) {
    if (bytes.size() < 3 || bytes[0] < 0x81 || bytes[0] > 0x88 || bytes.back() != 0xFF) return false;
    for (std::size_t i = 1; i + 1 < bytes.size(); ++i) {
        if (bytes[i] > 0x7F) return false;
    }
    return true;
}

std::size_t leadingCommandReply(const Bytes& bytes) {
    if (bytes.size() < 3 || replyCamera(bytes[0]) == 0) return 0;
    const int kind = bytes[1] >> 4, socket = bytes[1] & 0x0F;
    // "Buffer full" names no socket, and answers only a command.
    if (bytes[1] == 0x60 && bytes.size() >= 4 && bytes[2] == 0x03 && bytes[3] == 0xFF) return 4;
    if (socket == 0) return 0;
    if ((kind == 4 || kind == 5) && bytes[2] == 0xFF) return 3;
    if (kind == 6 && bytes.size() >= 4 && bytes[2] != 0xFF && bytes[3] == 0xFF) return 4;
    return 0;
}

Bytes ifClearBroadcast() { return {0x88, 0x01, 0x00, 0x01, 0xFF}; }
Bytes addressSetBroadcast() { return {0x88, 0x30, 0x01, 0xFF}; }

std::optional<Bytes> trafficLineBytes(std::string_view line) {
    Bytes out;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\r' || c == '\n' || c == '\t') {
            ++i;
            continue;
        }
        if (i + 1 >= line.size()) return std::nullopt;
        const int hi = hexDigit(line[i]);
        const int lo = hexDigit(line[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        if (i + 2 < line.size() && line[i + 2] != ' ' && line[i + 2] != '\r' && line[i + 2] != '\n')
            return std::nullopt;
        out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
        i += 2;
    }
    return out;
}

std::string_view lineAt(std::string_view text, std::size_t pos) {
    if (pos > text.size()) pos = text.size();
    std::size_t begin = pos == 0 ? std::string_view::npos : text.rfind('\n', pos - 1);
    begin = begin == std::string_view::npos ? 0 : begin + 1;
    std::size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool isInquiryAnswer(const Bytes& packet) {
    return packet.size() > 3 && replyCamera(packet[0]) != 0 && packet[1] == 0x50 && packet.back() == 0xFF;
}

}  // namespace orbus
