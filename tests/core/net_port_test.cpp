// Network ports: the address forms, the Telnet side of a COM-PORT connection,
// and the port dialog's "Network..." entry with what it says when a device
// server cannot be reached.
#include <gtest/gtest.h>

#include <optional>

#include "app/port_problem.h"
#include "app/testing/rig.h"
#include "platform/net_address.h"
#include "platform/telnet_com_port.h"

using namespace orbus;
using orbus::testing::Rig;
using orbus::testing::UnopenablePort;

namespace {

using T = TelnetComPort;

// What a server's bytes give, fed in pieces of `piece` bytes.
struct Fed {
    Bytes data, answer;
};
Fed feed(TelnetComPort& t, const Bytes& in, std::size_t piece) {
    Fed f;
    for (std::size_t i = 0; i < in.size(); i += piece) {
        const std::size_t n = std::min(piece, in.size() - i);
        const Bytes d = t.receive(in.data() + i, n, f.answer);
        f.data.insert(f.data.end(), d.begin(), d.end());
    }
    return f;
}

// A COM-PORT request as the panel writes it.
Bytes request(std::uint8_t code, const Bytes& value) {
    Bytes b{T::IAC, T::SB, T::OptComPort, code};
    b.insert(b.end(), value.begin(), value.end());
    b.insert(b.end(), {T::IAC, T::SE});
    return b;
}

bool contains(const Bytes& hay, const Bytes& needle) {
    return std::search(hay.begin(), hay.end(), needle.begin(), needle.end()) != hay.end();
}

}  // namespace

TEST(NetAddress, ReadsBothFormsAndRefusesTheRest) {
    struct Row {
        const char* text;
        bool ok;
        NetAddress::Kind kind;
        const char* host;
        int port;
        const char* why;  // part of the refusal
    };
    using K = NetAddress::Kind;
    const Row rows[] = {
        {"tcp://10.0.0.5:7001", true, K::Raw, "10.0.0.5", 7001, ""},
        {"rfc2217://camera-mast.local:2001", true, K::ComPort, "camera-mast.local", 2001, ""},
        {"rfc2217://[::1]:65535", true, K::ComPort, "::1", 65535, ""},
        {"tcp://h:1", true, K::Raw, "h", 1, ""},
        {"udp://10.0.0.5:7001", false, K::Raw, "", 0, "does not start with tcp:// or rfc2217://"},
        {"/dev/ttyUSB0", false, K::Raw, "", 0, "does not start with"},
        {"tcp://10.0.0.5", false, K::Raw, "", 0, "port number is missing"},
        {"tcp://10.0.0.5:", false, K::Raw, "", 0, "port number is missing"},
        {"tcp://:7001", false, K::Raw, "", 0, "host is missing"},
        {"tcp://10.0.0.5:0", false, K::Raw, "", 0, "1 to 65535, not 0"},
        {"tcp://10.0.0.5:65536", false, K::Raw, "", 0, "1 to 65535, not 65536"},
        {"tcp://10.0.0.5:99999999999999999999", false, K::Raw, "", 0, "1 to 65535"},
        {"tcp://10.0.0.5:70a", false, K::Raw, "", 0, "\"70a\" is no port number"},
        {"tcp://10.0.0.5:-1", false, K::Raw, "", 0, "is no port number"},
        {"tcp://my host:7001", false, K::Raw, "", 0, "\"my host\" is no host name"},
        {"tcp://user@host:7001", false, K::Raw, "", 0, "is no host name"},
        {"rfc2217://[::1:7001", false, K::Raw, "", 0, "not closed"},
        {"rfc2217://[::1]7001", false, K::Raw, "", 0, "port number is missing"},
        {"rfc2217://[zz]:7001", false, K::Raw, "", 0, "no IPv6 address"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        NetAddress a;
        std::string why;
        EXPECT_EQ(parseNetAddress(r.text, a, &why), r.ok) << why;
        if (r.ok) {
            EXPECT_EQ(a.kind, r.kind);
            EXPECT_EQ(a.host, r.host);
            EXPECT_EQ(a.port, r.port);
        } else {
            EXPECT_NE(why.find(r.why), std::string::npos) << why;
        }
    }
    NetAddress v6;
    ASSERT_TRUE(parseNetAddress("tcp://[fe80::1]:7001", v6));
    EXPECT_EQ(hostPortText(v6), "[fe80::1]:7001");
    // A mistyped network port is still no device path.
    EXPECT_TRUE(looksLikeNetAddress("tcp://oops"));
    EXPECT_FALSE(looksLikeNetAddress("/dev/ttyS0"));
}

TEST(TelnetComPort, CameraBytesCrossWithEveryFFInAnySplit) {
    const Bytes packets[] = {
        {0x81, 0x01, 0x04, 0x39, 0x03, 0xFF},
        {0x90, 0x50, 0x00, 0x01, 0x04, 0x0E, 0x01, 0x05, 0x02, 0xFF, 0x90, 0x41, 0xFF},
        {0xFF, 0xFF, 0xFF},
        {0x0D, 0x00, 0x0D, 0x0A, 0xFF, 0xF0, 0xFA},
        {},
    };
    for (const Bytes& p : packets) {
        const Bytes wire = T::escape(p);
        EXPECT_EQ(wire.size(), p.size() + static_cast<std::size_t>(std::count(p.begin(), p.end(), 0xFF)));
        for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{5}, std::size_t{64}}) {
            SCOPED_TRACE(piece);
            TelnetComPort t;
            const Fed f = feed(t, wire, piece);
            EXPECT_EQ(f.data, p);
            EXPECT_TRUE(f.answer.empty());
        }
    }
}

TEST(TelnetComPort, AnswersANegotiationOnlyWhenTheAgreementChanges) {
    struct Row {
        const char* what;
        Bytes server;  // after the panel's opening offers
        Bytes answer;  // the panel's answer, subnegotiations aside
        Bytes data;
    };
    const Row rows[] = {
        // The server's echo would come back as replies: refused.
        {"echo refused", {T::IAC, T::WILL, 1}, {T::IAC, T::DONT, 1}, {}},
        {"unknown option refused", {T::IAC, T::DO, 24}, {T::IAC, T::WONT, 24}, {}},
        // The panel offered these: the server's yes needs no answer, and a
        // repeated yes none either.
        {"offers taken", {T::IAC, T::DO, 0, T::IAC, T::WILL, 0, T::IAC, T::DO, 0, T::IAC, T::WILL, 3}, {}, {}},
        {"server asks binary first", {T::IAC, T::DO, 0, T::IAC, T::DONT, 0, T::IAC, T::DO, 0}, {T::IAC, T::WONT, 0, T::IAC, T::WILL, 0}, {}},
        {"server turns go-ahead back on", {T::IAC, T::WILL, 3, T::IAC, T::WONT, 3}, {T::IAC, T::DONT, 3}, {}},
        {"a refusal of an offer is the end of it", {T::IAC, T::DONT, 3, T::IAC, T::WONT, 0}, {}, {}},
        {"commands between camera bytes",
         {0x90, T::IAC, 241, 0x41, T::IAC, 249, T::IAC, T::IAC, T::IAC, T::SE},
         {},
         {0x90, 0x41, 0xFF}},
        {"a notice of the modem lines is read and dropped",
         {T::IAC, T::SB, 44, 107, 0x30, T::IAC, T::SE, 0x90, 0x51, 0xFF, 0xFF},
         {},
         {0x90, 0x51, 0xFF}},
        {"a command inside a subnegotiation ends it",
         {T::IAC, T::SB, 44, 101, 0, T::IAC, T::WILL, 1, 0x90},
         {T::IAC, T::DONT, 1},
         {0x90}},
        {"an overlong subnegotiation is cut, not kept", [] {
             Bytes b{T::IAC, T::SB, 44};
             b.insert(b.end(), 5000, 0x41);
             b.insert(b.end(), {T::IAC, T::SE, 0x90});
             return b;
         }(), {}, {0x90}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        for (std::size_t piece : {std::size_t{1}, std::size_t{3}, r.server.size() + 1}) {
            TelnetComPort t;
            (void)t.start({});
            const Fed f = feed(t, r.server, piece);
            EXPECT_EQ(f.answer, r.answer);
            EXPECT_EQ(f.data, r.data);
        }
    }
}

TEST(TelnetComPort, AsksForTheLineSettingsOnceTheServerTakesTheOption) {
    TelnetComPort t;
    const Bytes offers = t.start({9600, 'N', 8, 1});
    EXPECT_EQ(offers, (Bytes{T::IAC, T::WILL, 44, T::IAC, T::WILL, 0, T::IAC, T::WILL, 3, T::IAC, T::DO, 0,
                             T::IAC, T::DO, 3}));
    // Nothing is asked before the server agrees.
    EXPECT_TRUE(t.settings({38400, 'N', 8, 1}).empty());
    EXPECT_FALSE(t.comPortAgreed());

    const Fed agreed = feed(t, {T::IAC, T::DO, 44}, 3);
    EXPECT_TRUE(t.comPortAgreed());
    // 38400 bps, 8 data bits, no parity, one stop bit, no flow control.
    const Bytes wanted[] = {request(T::SetBaudRate, {0x00, 0x00, 0x96, 0x00}), request(T::SetDataSize, {8}),
                            request(T::SetParity, {1}), request(T::SetStopSize, {1}),
                            request(T::SetControl, {1})};
    Bytes all;
    for (const Bytes& w : wanted) all.insert(all.end(), w.begin(), w.end());
    EXPECT_EQ(agreed.answer, all);
    // Later settings go out at once; a value byte FF is doubled.
    EXPECT_TRUE(contains(t.settings({9600, 'N', 8, 1}), request(T::SetBaudRate, {0x00, 0x00, 0x25, 0x80})));
    EXPECT_TRUE(contains(t.settings({0x00FF00FF, 'E', 7, 2}),
                         request(T::SetBaudRate, {0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF})));

    // The server's word on the speed, its FF bytes doubled as well.
    EXPECT_EQ(t.serverBaud(), 0);
    feed(t, {T::IAC, T::SB, 44, 101, 0x00, 0x00, 0x96, 0x00, T::IAC, T::SE}, 1);
    EXPECT_EQ(t.serverBaud(), 38400);
    feed(t, {T::IAC, T::SB, 44, 101, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, T::IAC, T::SE}, 2);
    EXPECT_EQ(t.serverBaud(), 0xFFFF);
    // A short or impossible answer changes nothing.
    feed(t, {T::IAC, T::SB, 44, 101, 0x00, T::IAC, T::SE, T::IAC, T::SB, 44, 101, 0x80, 0, 0, 0, T::IAC, T::SE}, 4);
    EXPECT_EQ(t.serverBaud(), 0xFFFF);
}

TEST(NetworkEntry, RefusesAMalformedAddressAndOpensAWellFormedOne) {
    Rig rig({"ORX-Beta", "KBM-R05"}, Rig::Routed{});
    std::vector<std::string> opened;
    rig.openDevice = [&](const std::string& path) -> std::unique_ptr<SerialPort> {
        opened.push_back(path);
        return std::make_unique<sim::SimSerialPort>(rig.chain, rig.loop, rig.loop);
    };
    rig.settings.values[std::string(Program::kTitle) + "/Settings/NetAddress"] = "tcp://10.1.1.1:4001";
    rig.program->start();
    FrmOpen& o = rig.open();
    EXPECT_FALSE(o.TxtAddress.visible());
    o.ComList1.choose(FrmOpen::kNetworkEntry);
    EXPECT_EQ(o.ComList1.currentText(), "Network\u2026");
    EXPECT_TRUE(o.TxtAddress.visible());
    EXPECT_FALSE(o.TxtModels.visible());
    // The last address comes back.
    EXPECT_EQ(o.TxtAddress.text(), "tcp://10.1.1.1:4001");
    EXPECT_EQ(o.LblDevice.caption(),
              "Serial device server at 10.1.1.1:4001, raw TCP: the line's speed is the server's own setting");

    struct Bad {
        const char* typed;
        const char* says;
    };
    for (const Bad& b : {Bad{"", "Type the device server's address. Write tcp://HOST:PORT or rfc2217://HOST:PORT"},
                         Bad{"10.0.0.5:7001", "\"10.0.0.5:7001\" is not a network address: it does not start with"},
                         Bad{"rfc2217://10.0.0.5", "the port number is missing. Write tcp://HOST:PORT or "
                                                   "rfc2217://HOST:PORT, for example rfc2217://10.0.0.5:7001."}}) {
        SCOPED_TRACE(b.typed);
        o.TxtAddress.setText(b.typed);
        o.Command1.click();
        EXPECT_TRUE(o.visible());
        EXPECT_FALSE(rig.program->port.PortChosen);
        EXPECT_NE(o.LblReason.caption().find(b.says), std::string::npos) << o.LblReason.caption();
    }
    EXPECT_NE(o.LblDevice.caption().find("Not a network address: the port number is missing"), std::string::npos);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(rig.mark(), 0u);

    o.TxtAddress.setText("rfc2217://127.0.0.1:7001");
    EXPECT_EQ(o.LblDevice.caption(), "Serial device server at 127.0.0.1:7001, RFC 2217: the panel sets the line's speed");
    o.OBrate[1].click();
    o.Command1.click();
    rig.settle();
    ASSERT_TRUE(rig.main().visible());
    EXPECT_EQ(opened, std::vector<std::string>{"rfc2217://127.0.0.1:7001"});
    EXPECT_TRUE(rig.main().CameraSel[2].enabled());
    EXPECT_FALSE(rig.main().CameraSel[3].enabled());
    EXPECT_EQ(rig.main().StatusPort.caption(), "Com  rfc2217://127.0.0.1:7001  38400 bps");
    EXPECT_EQ(rig.settings.values[std::string(Program::kTitle) + "/Settings/NetAddress"], "rfc2217://127.0.0.1:7001");
    // "Com 1" keeps its number in the saved settings.
    rig.main().unload();
    EXPECT_EQ(rig.settings.values[std::string(Program::kTitle) + "/Settings/CommPort"], "1");
}

TEST(NetworkEntry, SaysWhyADeviceServerWasNotReached) {
    const auto failure = [](std::string words) {
        OpenFailure f;
        f.kind = OpenFailure::Kind::Other;
        f.system = std::move(words);
        return f;
    };
    struct Row {
        const char* what;
        std::string com1;                   // ORBUS_COM1
        std::optional<OpenFailure> device;  // what opening gives; none: it opens, the chain is silent
        std::vector<std::string> says;
        std::size_t opens = 1;    // ports the routing port asked for
        std::size_t clears = 0;   // interface clears that reached the chain
    };
    const std::vector<Row> rows = {
        {"nothing listens", "tcp://127.0.0.1:9", failure("connection refused by 127.0.0.1:9 (nothing listens there)"),
         {"tcp://127.0.0.1:9: no connection: connection refused by 127.0.0.1:9 (nothing listens there). Check the "
          "port number and that the device server runs."}},
        {"another client holds it", "rfc2217://h:7001",
         failure("the device server at h:7001 refused the connection: Port already in use"),
         {"Another program holds the camera's port on the server: close it, then try again."}},
        {"no such host", "rfc2217://no-such-host.invalid:7001",
         failure("the host name no-such-host.invalid does not resolve"),
         {"does not resolve. Check the host name, or write the server's IP address."}},
        {"time-out", "tcp://10.255.0.1:7001",
         failure("time-out: no connection to 10.255.0.1:7001 within 3 s"),
         {"no connection: time-out: no connection to 10.255.0.1:7001 within 3 s. Check the address, the network"}},
        // A mistyped ORBUS_COM1 is refused before anything is tried.
        {"malformed in the environment", "tcp://10.0.0.5", std::nullopt,
         {"tcp://10.0.0.5: no connection: tcp://10.0.0.5 is no network port (the port number is missing); write "
          "tcp://HOST:PORT or rfc2217://HOST:PORT."},
         0},
        // Raw TCP leaves the speed to the server: no other speed is tried.
        {"silent over raw TCP", "tcp://10.0.0.5:7001", std::nullopt,
         {"tcp://10.0.0.5:7001 connected, but no camera answered. Over raw TCP the line's speed is the device "
          "server's own setting"},
         1, 1},
        {"silent over COM-PORT", "rfc2217://10.0.0.5:7001", std::nullopt,
         {"rfc2217://10.0.0.5:7001 connected, but no camera answered at 9600 bps (nor at 38400 or 19200 bps)."},
         1, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Rig rig({"ORX-Beta"}, Rig::Routed{});
        rig.devices.chosen[1] = row.com1;
        rig.chain.faults.silent = true;
        std::size_t opens = 0;
        rig.openDevice = [&](const std::string&) -> std::unique_ptr<SerialPort> {
            ++opens;
            if (row.device) return std::make_unique<UnopenablePort>(*row.device);
            return std::make_unique<sim::SimSerialPort>(rig.chain, rig.loop, rig.loop);
        };
        std::string reason;
        rig.windows.script([&] {
            reason = rig.open().LblReason.caption();
            rig.open().unload();
        });
        rig.program->start();
        EXPECT_EQ(rig.open().LblDevice.caption(), row.com1);
        rig.open().Command1.click();
        rig.settle();
        for (const std::string& s : row.says) EXPECT_NE(reason.find(s), std::string::npos) << reason;
        EXPECT_EQ(opens, row.opens);
        EXPECT_EQ(rig.packetsSince(0).size(), row.clears);
    }
}
