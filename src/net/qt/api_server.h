// The JSON API and the web remote on one TCP port: HTTP requests read by
// the bounded reader of net/api_http.h, WebSocket upgrades checked the same
// way (path, token, origin) and only then handed to the WebSocket server.
// Every HTTP host and every WebSocket is a client of the hub.
#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTimer>
#include <QWebSocketServer>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/chain.h"
#include "net/api_http.h"
#include "net/api_session.h"
#include "net/remote_hub.h"
#include "net/transports.h"

class QTcpSocket;
class QWebSocket;

namespace orbus::netqt {

class ApiServer final : public QObject, public net::RemoteTransports {
public:
    struct Options {
        std::string address = "127.0.0.1";
        int port = 8711;  // 0: any free port
        std::string token;  // empty: none asked for
        bool rawPackets = false;
    };

    ApiServer(net::RemoteHub& hub, model::Chain& chain);
    ~ApiServer() override;

    // Listens (closing what listened before): what failed, in words; empty on success.
    std::string start(const Options& options);
    // The plan's address, API port, token and raw packets.
    std::string start(const net::ListenPlan& plan) override;
    void stop() override;
    bool running() const override { return server_.isListening(); }
    std::vector<std::string> endpoints() const override;
    quint16 port() const { return server_.serverPort(); }
    // "api 127.0.0.1:8711 (HTTP and WebSocket)"
    std::string endpoint() const;

private:
    struct Http;
    struct Socket;
    void accept();
    void read(QTcpSocket* socket);
    void answer(QTcpSocket* socket, int status, const char* type, const std::string& body);
    void route(QTcpSocket* socket, const net::HttpRequest& request);
    void upgrade(QTcpSocket* socket, const net::HttpRequest& request);
    void opened();
    net::ClientId httpClient(net::ClientKind kind, const std::string& host);
    void forgetIdle();
    void drop(QTcpSocket* socket);

    net::RemoteHub& hub_;
    model::Chain& chain_;
    Options options_;
    QTcpServer server_;
    QWebSocketServer webSockets_;
    // Connections reading or answering an HTTP request.
    std::map<QTcpSocket*, std::unique_ptr<Http>> http_;
    // Upgrades handed over, by peer, until the WebSocket server gives them back.
    std::map<std::string, net::ClientKind> handedOver_;
    std::map<QWebSocket*, std::unique_ptr<Socket>> sockets_;
    // HTTP clients by "kind host", kept while they come back.
    std::map<std::string, std::pair<net::ClientId, int>> httpClients_;
    QTimer idle_;
};

}  // namespace orbus::netqt
