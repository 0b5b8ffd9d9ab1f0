#include "net/qt/remote_sockets.h"

#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

namespace orbus::netqt {

namespace {

// A datagram longer than this holds no packet: read and refused as too long.
constexpr qint64 kLongestDatagram = 512;
// Sessions of bare packets at once, all cameras together.
constexpr std::size_t kMaxSessions = 32;
// Controllers' addresses kept to answer them.
constexpr std::size_t kMaxPeers = 256;

QHostAddress plain(const QHostAddress& host) {
    bool mapped = false;
    const quint32 v4 = host.toIPv4Address(&mapped);
    return mapped ? QHostAddress(v4) : host;
}

}  // namespace

RemoteSockets::RemoteSockets(net::RemoteHub& hub, Clock& clock)
    : hub_(hub),
      clock_(clock),
      udpControllers_(hub, [this](int camera, const std::string& peer, const Bytes& d) { sendUdp(camera, peer, d); }) {
    forget_.setInterval(10'000);
    connect(&forget_, &QTimer::timeout, this, [this] {
        udpControllers_.forgetSilent(clock_.now());
    });
}

RemoteSockets::~RemoteSockets() { stop(); }

std::string RemoteSockets::hostText(const QHostAddress& host) { return plain(host).toString().toStdString(); }

std::string RemoteSockets::peerText(const QHostAddress& host, quint16 port) {
    const QHostAddress h = plain(host);
    const std::string text = h.toString().toStdString();
    return (h.protocol() == QAbstractSocket::IPv6Protocol ? "[" + text + "]" : text) + ":" + std::to_string(port);
}

std::string RemoteSockets::start(const net::ListenPlan& plan) {
    stop();
    plan_ = plan;
    const QHostAddress address(QString::fromStdString(plan.address == "localhost" ? "127.0.0.1" : plan.address));
    std::string problems;
    const auto problem = [&problems](const std::string& what, const QString& why) {
        problems += (problems.empty() ? "" : "\n") + what + ": " + why.toStdString();
    };
    if (address.isNull()) return "Remote control: " + plan.address + " is no address of this machine.";
    for (int n = 1; n <= plan.cameras && n <= 7; ++n) {
        if (plan.udp) openUdp(n, address, problem);
        if (plan.tcp) openTcp(n, address, problem);
    }
    forget_.start();
    return problems;
}

template <typename Problem>
void RemoteSockets::openUdp(int n, const QHostAddress& address, const Problem& problem) {
    {
        auto* udp = new QUdpSocket(this);
        const int udpPort = plan_.udpBase + n - 1;
        if (udpPort > 0 && udpPort < 65536 && udp->bind(address, static_cast<quint16>(udpPort))) {
            udp_[n] = udp;
            connect(udp, &QUdpSocket::readyRead, this, [this, n, udp] { readUdp(n, *udp); });
        } else {
            problem("udp port " + std::to_string(udpPort), udp->errorString());
            delete udp;
        }
    }
}

template <typename Problem>
void RemoteSockets::openTcp(int n, const QHostAddress& address, const Problem& problem) {
    {
        auto* tcp = new QTcpServer(this);
        const int tcpPort = plan_.tcpBase + n - 1;
        if (tcpPort > 0 && tcpPort < 65536 && tcp->listen(address, static_cast<quint16>(tcpPort))) {
            tcp_[n] = tcp;
            connect(tcp, &QTcpServer::newConnection, this, [this, n, tcp] { accept(n, *tcp); });
        } else {
            problem("tcp port " + std::to_string(tcpPort), tcp->errorString());
            delete tcp;
        }
    }
}

void RemoteSockets::stop() {
    forget_.stop();
    // The sessions leave the hub first: their drives are stopped.
    for (auto& [socket, session] : sessions_) {
        socket->disconnect(this);
        session.reset();
        socket->abort();
        socket->deleteLater();
    }
    sessions_.clear();
    udpControllers_.clear();
    for (auto& [n, s] : udp_) delete s;
    for (auto& [n, s] : tcp_) delete s;
    udp_.clear();
    tcp_.clear();
    peers_.clear();
}

std::vector<std::string> RemoteSockets::endpoints() const {
    std::vector<std::string> out;
    for (const auto& [n, s] : udp_)
        out.push_back("udp " + plan_.address + ":" + std::to_string(s->localPort()) + " (camera " + std::to_string(n) + ")");
    for (const auto& [n, s] : tcp_)
        out.push_back("tcp " + plan_.address + ":" + std::to_string(s->serverPort()) + " (camera " + std::to_string(n) + ")");
    return out;
}

void RemoteSockets::readUdp(int camera, QUdpSocket& socket) {
    while (socket.hasPendingDatagrams()) {
        const QNetworkDatagram d = socket.receiveDatagram(kLongestDatagram);
        if (!d.isValid()) break;
        const QHostAddress from = plain(d.senderAddress());
        if (!net::admitted(plan_, from.toString().toStdString())) continue;
        const std::string peer = peerText(from, static_cast<quint16>(d.senderPort()));
        // Bounded: should many peers come and go, the oldest answers are lost, never memory.
        if (peers_.size() >= kMaxPeers && !peers_.count(peer)) peers_.clear();
        peers_[peer] = {from, static_cast<quint16>(d.senderPort())};
        const QByteArray bytes = d.data();
        udpControllers_.received(camera, peer, reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                 static_cast<std::size_t>(bytes.size()));
    }
}

void RemoteSockets::sendUdp(int camera, const std::string& peer, const Bytes& datagram) {
    const auto socket = udp_.find(camera);
    const auto to = peers_.find(peer);
    if (socket == udp_.end() || to == peers_.end()) return;
    socket->second->writeDatagram(reinterpret_cast<const char*>(datagram.data()), static_cast<qint64>(datagram.size()),
                                  to->second.first, to->second.second);
}

void RemoteSockets::accept(int camera, QTcpServer& server) {
    while (QTcpSocket* socket = server.nextPendingConnection()) {
        const QHostAddress from = plain(socket->peerAddress());
        if (!net::admitted(plan_, from.toString().toStdString()) || sessions_.size() >= kMaxSessions) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto session = std::make_unique<net::BareSession>(
            hub_, camera, peerText(from, socket->peerPort()), [socket](const Bytes& bytes) {
                socket->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
            });
        if (!session->ok()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        sessions_[socket] = std::move(session);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            const auto it = sessions_.find(socket);
            if (it == sessions_.end()) return;
            const QByteArray bytes = socket->readAll();
            it->second->received(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                 static_cast<std::size_t>(bytes.size()));
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            // Its drives are stopped as it leaves the hub.
            sessions_.erase(socket);
            socket->deleteLater();
        });
    }
}

}  // namespace orbus::netqt
