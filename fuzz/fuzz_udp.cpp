// What IP controllers and bare-packet controllers may send: datagrams and
// TCP bytes from a few peers to two cameras' ports, through the hub to a
// simulated timed chain. Properties: nothing crashes; every byte on the
// line belongs to a well-formed packet; nobody is shown a warning; every
// datagram sent back is a reply (01 11, a camera's reply with address 90)
// or a control reply (02 01, 01 or 0F 02) whose length field is its own;
// no client has more under way than the hub allows, and each hears the end
// of every packet once the drives are stopped.
#include "chain.h"
#include "fuzz_support.h"
#include "model/station.h"
#include "net/controllers.h"
#include "net/remote_hub.h"
#include "net/udp_frame.h"
#include "platform/testing/fakes.h"
#include "platform/testing/virtual_loop.h"
#include "sim_port.h"

using namespace orbus;

namespace {

bool wellFormedAnswer(const Bytes& d) {
    if (d.size() < net::kHeaderSize + 1) return false;
    const std::size_t length = static_cast<std::size_t>(d[2] << 8 | d[3]);
    if (length != d.size() - net::kHeaderSize) return false;
    const Bytes payload(d.begin() + net::kHeaderSize, d.end());
    if (d[0] == 0x01 && d[1] == 0x11)
        return payload.size() >= 3 && payload.size() <= net::kMaxPayload && payload.front() == 0x90 &&
               payload.back() == 0xFF;
    return d[0] == 0x02 && d[1] == 0x01 && (payload == Bytes{0x01} || payload == Bytes{0x0F, 0x02});
}

bool wellFormedBare(const Bytes& b) { return b.size() >= 3 && b.front() == 0x90 && b.back() == 0xFF; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    testing::VirtualLoop loop;
    testing::MemorySettings settings;
    testing::ScriptedWindows windows{loop};
    sim::Chain chain({"ORX-Beta", "KBM-R20"});
    chain.timed = true;
    sim::SimSerialPort port(chain, loop, loop);
    testing::FixedSerialDevices devices;
    Platform platform{loop, loop, loop, settings, windows, port, devices};
    model::Station station(platform);
    station.open();
    net::RemoteHub::Options options;
    options.maxPending = 4;
    options.controllerSilence = 1;
    net::RemoteHub hub(station.commands(), loop, loop, options);
    std::size_t answers = 0;
    net::UdpControllers udp(hub, [&](int camera, const std::string&, const Bytes& d) {
        fuzz::check(camera == 1 || camera == 2, "answers come from the port asked");
        if (!wellFormedAnswer(d)) std::fprintf(stderr, "answer: %s\n", packetText(d).c_str());
        fuzz::check(wellFormedAnswer(d), "every datagram sent back is well formed");
        ++answers;
    });
    {
        net::BareSession tcp(hub, 2, "127.0.0.1:5000", [](const Bytes& b) {
            fuzz::check(wellFormedBare(b), "every bare reply is a camera's packet from 90");
        });
        while (!in.empty()) {
            const std::uint8_t op = in.byte();
            const Bytes piece = in.piece(40);
            switch (op % 8) {
            case 0: tcp.received(piece); break;
            case 1: loop.runFor(0.01 * (op >> 3)); break;
            case 2: hub.stopAllDrives(); break;
            default: {
                const std::string peer = "127.0.0.1:" + std::to_string(4000 + op % 3);
                udp.received(1 + (op >> 7), peer, piece);
            }
            }
            for (const net::ClientInfo& c : hub.clients())
                fuzz::check(c.pending <= options.maxPending + 64, "what a client has under way stays bounded");
        }
        loop.runFor(12);
    }
    // Every packet's end reaches its sender once the drives are stopped.
    hub.stopAllDrives();
    loop.runFor(12);
    for (const net::ClientInfo& c : hub.clients()) fuzz::check(c.pending == 0, "every packet's sender hears its end");
    loop.runFor(2);
    fuzz::checkSent(port.written(), windows.messages);
    fuzz::check(windows.messages.empty(), "no warning for anything a controller sent");
    fuzz::check(hub.clientCount() == udp.peers(), "the bare session left the hub");
    return 0;
}
