// IP controllers' datagrams: what each asks for or why it is refused, and
// the datagrams that answer it.
#include <gtest/gtest.h>

#include <string>

#include "link/packet.h"
#include "net/transports.h"
#include "net/udp_frame.h"

namespace orbus::net {
namespace {

Bytes hex(const std::string& text) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3) out.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return out;
}

TEST(NetUdpFrame, ParsesWhatEachDatagramAsksForOrRefusesIt) {
    using K = UdpRequest::Kind;
    const struct {
        const char* what;
        std::string datagram;
        K kind;
        std::uint32_t sequence;
        std::string packet;
    } rows[] = {
        {"command", "01 00 00 06 00 00 00 2A 81 01 04 07 02 FF", K::Command, 42, "81 01 04 07 02 FF"},
        {"inquiry, any address", "01 10 00 05 12 34 56 78 8F 09 04 00 FF", K::Inquiry, 0x12345678, "8F 09 04 00 FF"},
        {"reset", "02 00 00 01 FF FF FF FF 01", K::Reset, 0xFFFFFFFF, ""},
        {"longest payload", "01 00 00 10 00 00 00 01 81 01 04 40 00 00 00 00 00 00 00 00 00 00 00 FF", K::Command, 1,
         "81 01 04 40 00 00 00 00 00 00 00 00 00 00 00 FF"},
        {"length above the bytes", "01 00 00 07 00 00 00 03 81 01 04 07 02 FF", K::Refused, 3, ""},
        {"length below the bytes", "01 00 00 05 00 00 00 03 81 01 04 07 02 FF", K::Refused, 3, ""},
        {"no payload", "01 00 00 00 00 00 00 04", K::Refused, 4, ""},
        {"payload over 16", "01 00 00 11 00 00 00 05 81 01 04 40 00 00 00 00 00 00 00 00 00 00 00 00 FF", K::Refused, 5, ""},
        {"header not 8x", "01 00 00 05 00 00 00 06 90 01 04 07 FF", K::Refused, 6, ""},
        {"data above 7F", "01 00 00 05 00 00 00 07 81 01 84 07 FF", K::Refused, 7, ""},
        {"FF inside", "01 00 00 06 00 00 00 08 81 01 FF 07 02 FF", K::Refused, 8, ""},
        {"no FF at the end", "01 00 00 05 00 00 00 09 81 01 04 07 02", K::Refused, 9, ""},
        {"too short a packet", "01 00 00 02 00 00 00 0A 81 FF", K::Refused, 10, ""},
        {"unknown type", "01 20 00 05 00 00 00 0B 81 09 04 00 FF", K::Refused, 11, ""},
        {"a reply's type", "01 11 00 03 00 00 00 0C 90 41 FF", K::Refused, 12, ""},
        {"control other than reset", "02 00 00 02 00 00 00 0D 0F 01", K::Refused, 13, ""},
        {"half a header", "01 00 00 06 00 00", K::Ignored, 0, ""},
        {"nothing", "", K::Ignored, 0, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.what);
        const UdpRequest q = parseDatagram(hex(r.datagram));
        EXPECT_EQ(q.kind, r.kind);
        EXPECT_EQ(q.sequence, r.sequence);
        EXPECT_EQ(packetText(q.packet), r.packet);
    }
}

TEST(NetUdpFrame, BuildsTheAnswers) {
    const struct {
        const char* what;
        Bytes datagram;
        std::string expected;
    } rows[] = {
        {"acknowledge of camera 3", replyDatagram(0x01020304, hex("B0 41 FF")), "01 11 00 03 01 02 03 04 90 41 FF"},
        {"answer", replyDatagram(7, hex("A0 50 02 FF")), "01 11 00 04 00 00 00 07 90 50 02 FF"},
        {"error", replyDatagram(8, hex("90 60 02 FF")), "01 11 00 04 00 00 00 08 90 60 02 FF"},
        {"no camera's reply", replyDatagram(9, hex("81 41 FF")), ""},
        {"no FF", replyDatagram(9, hex("90 41 00")), ""},
        {"reset", resetReplyDatagram(0xAABBCCDD), "02 01 00 01 AA BB CC DD 01"},
        {"error reply", errorReplyDatagram(5), "02 01 00 02 00 00 00 05 0F 02"},
    };
    for (const auto& r : rows) EXPECT_EQ(packetText(r.datagram), r.expected) << r.what;
}

// Off the machine only with a token; controllers only from listed hosts.
TEST(NetUdpFrame, AWideBindNeedsATokenAndControllersComeOnlyFromListedHosts) {
    const struct {
        std::string asked, token, bound;
        bool refused;
    } binds[] = {
        {"", "", "127.0.0.1", false},
        {"127.0.0.1", "", "127.0.0.1", false},
        {"::1", "", "::1", false},
        {"0.0.0.0", "", "127.0.0.1", true},
        {"192.168.1.5", "", "127.0.0.1", true},
        {"0.0.0.0", "s3cret", "0.0.0.0", false},
    };
    for (const auto& b : binds) {
        const BindChoice c = chooseBind(b.asked, b.token);
        EXPECT_EQ(c.address, b.bound) << b.asked;
        EXPECT_EQ(c.refusal.empty(), !b.refused) << b.asked;
    }
    ListenPlan plan;
    plan.allowed = {"192.168.1.20"};
    for (const auto& [host, taken] : std::vector<std::pair<std::string, bool>>{
             {"127.0.0.1", true}, {"127.9.9.9", true}, {"::1", true}, {"192.168.1.20", true}, {"192.168.1.21", false}, {"", false}})
        EXPECT_EQ(admitted(plan, host), taken) << host;
}

}  // namespace
}  // namespace orbus::net
