#include "net/udp_frame.h"

#include "link/packet.h"

namespace orbus::net {

namespace {

Bytes datagram(std::uint16_t type, std::uint32_t sequence, const Bytes& payload) {
    Bytes out;
    out.reserve(kHeaderSize + payload.size());
    const std::uint32_t length = static_cast<std::uint32_t>(payload.size());
    for (const std::uint32_t v : {std::uint32_t{type} << 16 | length, sequence}) {
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
    }
    for (const std::uint8_t b : payload) out.push_back(b);
    return out;
}

}  // namespace

bool controllerPacket(const Bytes& p) {
    if (p.size() < 3 || p.size() > kMaxPayload) return false;
    if ((p.front() & 0xF0) != 0x80 || p.back() != 0xFF) return false;
    for (std::size_t i = 1; i + 1 < p.size(); ++i) {
        if (p[i] > 0x7F) return false;
    }
    return true;
}

UdpRequest parseDatagram(const std::uint8_t* data, std::size_t size) {
    UdpRequest r;
    if (!data || size < kHeaderSize) return r;
    const std::uint16_t type = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
    const std::size_t length = static_cast<std::size_t>(data[2] << 8 | data[3]);
    r.sequence = static_cast<std::uint32_t>(data[4]) << 24 | static_cast<std::uint32_t>(data[5]) << 16 |
                 static_cast<std::uint32_t>(data[6]) << 8 | static_cast<std::uint32_t>(data[7]);
    r.kind = UdpRequest::Kind::Refused;
    if (length < 1 || length > kMaxPayload || length != size - kHeaderSize) return r;
    const Bytes payload(data + kHeaderSize, data + size);
    switch (type) {
    case kTypeCommand:
    case kTypeInquiry:
        if (!controllerPacket(payload)) return r;
        r.kind = type == kTypeCommand ? UdpRequest::Kind::Command : UdpRequest::Kind::Inquiry;
        r.packet = payload;
        return r;
    case kTypeControl:
        if (payload == Bytes{0x01}) r.kind = UdpRequest::Kind::Reset;
        return r;
    default: return r;
    }
}

Bytes replyDatagram(std::uint32_t sequence, const Bytes& reply) {
    if (reply.size() < 3 || reply.size() > kMaxPayload || replyCamera(reply.front()) == 0 || reply.back() != 0xFF)
        return {};
    Bytes payload = reply;
    payload.front() = 0x90;
    return datagram(kTypeReply, sequence, payload);
}

Bytes resetReplyDatagram(std::uint32_t sequence) { return datagram(kTypeControlReply, sequence, {0x01}); }

Bytes errorReplyDatagram(std::uint32_t sequence) { return datagram(kTypeControlReply, sequence, {0x0F, 0x02}); }

}  // namespace orbus::net
