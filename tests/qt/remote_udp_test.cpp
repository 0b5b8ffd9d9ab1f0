// IP controllers and bare-packet controllers over real sockets, against a
// simulated chain behind a window-free station: what a controller sends
// reaches the camera whose port it chose, and every reply comes back.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTcpSocket>
#include <QUdpSocket>
#include <unistd.h>

#include <string>
#include <vector>

#include "chain.h"
#include "link/packet.h"
#include "model/station.h"
#include "net/qt/remote_sockets.h"
#include "net/remote_hub.h"
#include "platform/qt/qt_platform.h"
#include "platform/testing/fakes.h"
#include "hub_station.h"
#include "pty_support.h"
#include "sim_port.h"

namespace orbus {
namespace {

using orbus::testing::spin;

Bytes hex(const std::string& text) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3)
        out.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    return out;
}

QByteArray bytes(const std::string& text) {
    const Bytes b = hex(text);
    return QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
}

std::string text(const QByteArray& a) {
    return packetText(Bytes(reinterpret_cast<const std::uint8_t*>(a.constData()),
                            reinterpret_cast<const std::uint8_t*>(a.constData()) + a.size()));
}

struct RemoteChain : orbus::testing::HubStation {
    RemoteChain() : HubStation({"ORX-Beta", "KBM-R20"}) {
        chain.timed = true;
        station.open();
        // Ports of this test run, apart from another run's.
        plan.udpBase = 30000 + static_cast<int>(getpid() % 1000) * 20;
        plan.tcpBase = plan.udpBase + 10;
        plan.cameras = 2;
        problems = sockets.start(plan);
        client.bind(QHostAddress::LocalHost, 0);
    }

    net::ListenPlan plan;
    netqt::RemoteSockets sockets{hub, clock};
    std::string problems;
    QUdpSocket client;

    // Sends a datagram to camera n's port and gathers what comes back
    // within `ms`, as text.
    std::vector<std::string> ask(int camera, const std::string& datagram, std::size_t expected, int ms = 2000) {
        client.writeDatagram(bytes(datagram), QHostAddress::LocalHost,
                             static_cast<quint16>(plan.udpBase + camera - 1));
        std::vector<std::string> got;
        spin(
            [&] {
                while (client.hasPendingDatagrams()) got.push_back(text(client.receiveDatagram().data()));
                return got.size() >= expected;
            },
            ms);
        return got;
    }
    std::vector<std::string> since(std::size_t mark) const {
        std::vector<std::string> out;
        for (std::size_t i = mark - chain.receivedDropped; i < chain.received.size(); ++i)
            out.push_back(packetText(chain.received[i]));
        return out;
    }
};

TEST(RemoteUdp, ControllersGetTheirRepliesWithTheirSequenceAndNothingMalformedReachesTheLine) {
    RemoteChain r;
    ASSERT_EQ(r.problems, "");
    const struct {
        const char* what;
        int camera;
        std::string datagram;
        std::vector<std::string> answers;
        std::vector<std::string> line;  // what the chain receives
    } rows[] = {
        {"command", 1, "01 00 00 06 00 00 00 2A 81 01 04 3E 02 FF",
         {"01 11 00 03 00 00 00 2A 90 41 FF", "01 11 00 03 00 00 00 2A 90 51 FF"},
         {"81 01 04 3E 02 FF"}},
        {"inquiry", 1, "01 10 00 05 00 00 00 2B 81 09 04 00 FF", {"01 11 00 04 00 00 00 2B 90 50 02 FF"},
         {"81 09 04 00 FF"}},
        {"camera 2 on its own port", 2, "01 00 00 06 00 00 01 00 81 01 04 3E 03 FF",
         {"01 11 00 03 00 00 01 00 90 41 FF", "01 11 00 03 00 00 01 00 90 51 FF"},
         {"82 01 04 3E 03 FF"}},
        {"reset", 1, "02 00 00 01 00 00 00 00 01", {"02 01 00 01 00 00 00 00 01"}, {}},
        {"length disagrees", 1, "01 00 00 07 00 00 00 05 81 01 04 3E 02 FF", {"02 01 00 02 00 00 00 05 0F 02"}, {}},
        {"no packet", 1, "01 00 00 05 00 00 00 06 81 01 04 BE FF", {"02 01 00 02 00 00 00 06 0F 02"}, {}},
        {"unknown type", 2, "03 00 00 05 00 00 00 07 81 09 04 00 FF", {"02 01 00 02 00 00 00 07 0F 02"}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::size_t mark = r.chain.receivedTotal();
        EXPECT_EQ(r.ask(row.camera, row.datagram, row.answers.size()), row.answers);
        // Nothing more follows.
        EXPECT_EQ(r.ask(row.camera, "", 1, 150).size(), 0u);
        EXPECT_EQ(r.since(mark), row.line);
    }
    ASSERT_EQ(r.hub.clientCount(), 1u);
    EXPECT_EQ(r.hub.clients()[0].name, "udp 127.0.0.1:" + std::to_string(r.client.localPort()));
    EXPECT_TRUE(r.windows.messages.empty());
}

TEST(RemoteUdp, BarePacketsOverTcpAndADriveStoppedWhenTheControllerHangsUp) {
    RemoteChain r;
    ASSERT_EQ(r.problems, "");
    QTcpSocket tcp;
    tcp.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(r.plan.tcpBase + 1));
    ASSERT_TRUE(spin([&] { return tcp.state() == QAbstractSocket::ConnectedState; }, 2000));
    QByteArray got;
    const auto read = [&](int size) {
        spin(
            [&] {
                got += tcp.readAll();
                return got.size() >= size;
            },
            2000);
    };
    const std::size_t mark = r.chain.receivedTotal();
    tcp.write(bytes("81 01 04 3E 02 FF 81 01 04 40 00 00 00 00 00 00 00 00 00 00 00 00 00 FF"));
    read(10);
    // The overlong packet is refused at once, before the first one's acknowledge comes.
    EXPECT_EQ(text(got), "90 60 02 FF 90 41 FF 90 51 FF");
    got.clear();
    tcp.write(bytes("81 01 04 07 25 FF"));
    read(3);
    EXPECT_EQ(text(got), "90 41 FF");
    EXPECT_EQ(r.hub.drives(), 1u);
    tcp.disconnectFromHost();
    spin([&] { return r.hub.clientCount() == 0 && r.hub.drives() == 0; }, 2000);
    spin([] { return false; }, 200);
    EXPECT_EQ(r.since(mark), (std::vector<std::string>{"82 01 04 3E 02 FF", "82 01 04 07 25 FF", "82 01 04 07 00 FF"}));
}

TEST(RemoteUdp, EachServiceOpensOnlyItsPortsAndADroppedConnectionCloses) {
    RemoteChain r;
    const struct {
        bool udp, tcp;
        std::size_t udpPorts, tcpPorts;
    } rows[] = {{true, false, 2, 0}, {false, true, 0, 2}, {true, true, 2, 2}};
    for (const auto& row : rows) {
        net::ListenPlan plan = r.plan;
        plan.udp = row.udp;
        plan.tcp = row.tcp;
        ASSERT_EQ(r.sockets.start(plan), "");
        std::size_t udp = 0, tcp = 0;
        for (const std::string& e : r.sockets.endpoints()) ++(e.rfind("udp", 0) == 0 ? udp : tcp);
        EXPECT_EQ(udp, row.udpPorts);
        EXPECT_EQ(tcp, row.tcpPorts);
    }
    // The operator drops a bare-packet controller: its drive stops and its connection closes.
    QTcpSocket tcp;
    tcp.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(r.plan.tcpBase));
    ASSERT_TRUE(spin([&] { return tcp.state() == QAbstractSocket::ConnectedState && r.hub.clientCount() == 1; }, 2000));
    tcp.write(bytes("81 01 04 07 25 FF"));
    ASSERT_TRUE(spin([&] { return r.hub.drives() == 1; }, 2000));
    r.hub.disconnect(r.hub.clients()[0].id);
    EXPECT_EQ(r.hub.drives(), 0u);
    EXPECT_TRUE(spin([&] { return tcp.state() == QAbstractSocket::UnconnectedState; }, 3000));
}

}  // namespace
}  // namespace orbus
