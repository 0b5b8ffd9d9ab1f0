// The network services' sockets: per camera a UDP port for IP controllers
// and a TCP port for bare packets, feeding the hub's controllers.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/controllers.h"
#include "net/remote_hub.h"
#include "net/transports.h"
#include "platform/clock.h"

class QTcpServer;
class QTcpSocket;
class QUdpSocket;

namespace orbus::netqt {

class RemoteSockets final : public QObject, public net::RemoteTransports {
public:
    RemoteSockets(net::RemoteHub& hub, Clock& clock);
    ~RemoteSockets() override;

    std::string start(const net::ListenPlan& plan) override;
    void stop() override;
    bool running() const override { return !udp_.empty() || !tcp_.empty(); }
    std::vector<std::string> endpoints() const override;

    // "127.0.0.1:40312", "[::1]:40312": a peer as the hub names it.
    static std::string peerText(const QHostAddress& host, quint16 port);
    // The host part, as the plan's allowed list names it.
    static std::string hostText(const QHostAddress& host);

private:
    template <typename Problem>
    void openUdp(int camera, const QHostAddress& address, const Problem& problem);
    template <typename Problem>
    void openTcp(int camera, const QHostAddress& address, const Problem& problem);
    void readUdp(int camera, QUdpSocket& socket);
    void sendUdp(int camera, const std::string& peer, const Bytes& datagram);
    void accept(int camera, QTcpServer& server);

    net::RemoteHub& hub_;
    Clock& clock_;
    net::ListenPlan plan_;
    net::UdpControllers udpControllers_;
    std::map<int, QUdpSocket*> udp_;
    std::map<int, QTcpServer*> tcp_;
    // Where each controller's datagrams came from, to answer it.
    std::map<std::string, std::pair<QHostAddress, quint16>> peers_;
    std::map<QTcpSocket*, std::unique_ptr<net::BareSession>> sessions_;
    QTimer forget_;
};

}  // namespace orbus::netqt
