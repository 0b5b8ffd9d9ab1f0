// The datagrams of IP controllers: an 8-byte header (payload type, payload
// length, sequence number; big-endian) and one packet. Parsing gives a
// value or a refusal; nothing here touches the line.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/serial_port.h"

namespace orbus::net {

// Payload types on the wire.
constexpr std::uint16_t kTypeCommand = 0x0100;
constexpr std::uint16_t kTypeInquiry = 0x0110;
constexpr std::uint16_t kTypeReply = 0x0111;
constexpr std::uint16_t kTypeControl = 0x0200;
constexpr std::uint16_t kTypeControlReply = 0x0201;

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kMaxPayload = 16;

// What one received datagram asks for.
struct UdpRequest {
    enum class Kind {
        Command,  // a command packet for the camera (01 00)
        Inquiry,  // an inquiry packet for the camera (01 10)
        Reset,    // the sequence number starts again (02 00 / 01)
        Refused,  // answered with the error reply, nothing goes to the line
        Ignored,  // too short to hold a header: not answered
    };
    Kind kind = Kind::Ignored;
    std::uint32_t sequence = 0;
    Bytes packet{};  // Command, Inquiry: header 8x .. FF, as it came
};

UdpRequest parseDatagram(const std::uint8_t* data, std::size_t size);
inline UdpRequest parseDatagram(const Bytes& datagram) { return parseDatagram(datagram.data(), datagram.size()); }

// A packet an IP controller may send: header 80 to 8F, data 00 to 7F, one
// FF at the end, 3 to 16 bytes.
bool controllerPacket(const Bytes& packet);

// The datagram carrying one of the camera's replies back: type 01 11, the
// request's sequence number, the reply with its address byte as 90.
// Nothing for a reply that is no camera's packet (header y0, FF at the end,
// at most 16 bytes).
Bytes replyDatagram(std::uint32_t sequence, const Bytes& reply);
// The reset's answer: 02 01, payload 01.
Bytes resetReplyDatagram(std::uint32_t sequence);
// The refusal of a datagram: 02 01, payload 0F 02 (message abnormality).
Bytes errorReplyDatagram(std::uint32_t sequence);

}  // namespace orbus::net
