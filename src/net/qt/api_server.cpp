#include "net/qt/api_server.h"

#include <QFile>
#include <QHostAddress>
#include <QTcpSocket>
#include <QWebSocket>

#include "net/api_http.h"
#include "net/qt/remote_sockets.h"

namespace orbus::netqt {

namespace {

// Connections at once, HTTP and WebSocket together.
constexpr std::size_t kMaxConnections = 64;
// A request must be whole within this long.
constexpr int kRequestMs = 10'000;
// An HTTP client with nothing under way is forgotten after this many idle rounds.
constexpr int kIdleRounds = 3;
constexpr int kIdleRoundMs = 10'000;

constexpr char kJson[] = "application/json";
constexpr char kText[] = "text/plain; charset=utf-8";

// The page's files, compiled in.
struct PageFile {
    const char* path;
    const char* resource;
    const char* type;
};
constexpr PageFile kPage[] = {
    {"/", ":/web/index.html", "text/html; charset=utf-8"},
    {"/index.html", ":/web/index.html", "text/html; charset=utf-8"},
    {"/remote.js", ":/web/remote.js", "text/javascript; charset=utf-8"},
    {"/remote.css", ":/web/remote.css", "text/css; charset=utf-8"},
};

std::string errorBody(const std::string& why) { return net::jsonText(net::errorJson(nullptr, why)); }

// The page from this panel is a web client; a script or a program an API client.
net::ClientKind kindOf(const net::HttpRequest& request) {
    return request.headers.count("origin") ? net::ClientKind::Web : net::ClientKind::Api;
}

}  // namespace

struct ApiServer::Http {
    QTimer deadline;
    bool answered = false;
    std::unique_ptr<net::ApiSession> session;
};

struct ApiServer::Socket {
    net::ClientId client = 0;
    std::unique_ptr<net::ApiSession> session;
};

ApiServer::ApiServer(net::RemoteHub& hub, model::Chain& chain)
    : hub_(hub), chain_(chain), webSockets_(QStringLiteral("orbus-panel"), QWebSocketServer::NonSecureMode) {
    connect(&server_, &QTcpServer::newConnection, this, [this] { accept(); });
    connect(&webSockets_, &QWebSocketServer::newConnection, this, [this] { opened(); });
    idle_.setInterval(kIdleRoundMs);
    connect(&idle_, &QTimer::timeout, this, [this] { forgetIdle(); });
}

ApiServer::~ApiServer() { stop(); }

std::string ApiServer::start(const Options& options) {
    stop();
    options_ = options;
    const QHostAddress address(QString::fromStdString(options.address == "localhost" ? "127.0.0.1" : options.address));
    if (address.isNull()) return "JSON API: " + options.address + " is no address of this machine.";
    if (options.port < 0 || options.port > 65535) return "JSON API: no port " + std::to_string(options.port) + ".";
    if (!server_.listen(address, static_cast<quint16>(options.port)))
        return "JSON API port " + std::to_string(options.port) + ": " + server_.errorString().toStdString();
    idle_.start();
    return {};
}

std::string ApiServer::start(const net::ListenPlan& plan) {
    Options o;
    o.address = plan.address;
    o.port = plan.apiPort;
    o.token = plan.token;
    o.rawPackets = plan.rawPackets;
    return start(o);
}

std::vector<std::string> ApiServer::endpoints() const {
    if (!running()) return {};
    return {endpoint()};
}

void ApiServer::stop() {
    idle_.stop();
    server_.close();
    for (auto& [ws, s] : sockets_) {
        ws->disconnect(this);
        s->session.reset();
        hub_.disconnect(s->client);  // its drives stop
        ws->abort();
        ws->deleteLater();
    }
    sockets_.clear();
    for (auto& [socket, h] : http_) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    http_.clear();
    for (auto& [name, c] : httpClients_) hub_.disconnect(c.first);
    httpClients_.clear();
    handedOver_.clear();
}

std::string ApiServer::endpoint() const {
    if (!running()) return {};
    return "api " + options_.address + ":" + std::to_string(port()) + " (HTTP and WebSocket)";
}

void ApiServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (http_.size() + sockets_.size() >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Bounded: a request longer than this is refused, never buffered.
        socket->setReadBufferSize(static_cast<qint64>(net::kMaxHttpHead + net::kMaxHttpBody));
        auto h = std::make_unique<Http>();
        h->deadline.setSingleShot(true);
        connect(&h->deadline, &QTimer::timeout, socket, [this, socket] {
            const auto it = http_.find(socket);
            if (it != http_.end() && !it->second->answered) answer(socket, 408, kText, "the request took too long");
        });
        h->deadline.start(kRequestMs);
        http_[socket] = std::move(h);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
    }
}

void ApiServer::drop(QTcpSocket* socket) {
    socket->disconnect(this);
    // Later: the session may be the one speaking when its socket goes.
    QMetaObject::invokeMethod(
        this,
        [this, socket] {
            http_.erase(socket);
            socket->deleteLater();
        },
        Qt::QueuedConnection);
}

void ApiServer::answer(QTcpSocket* socket, int status, const char* type, const std::string& body) {
    const auto it = http_.find(socket);
    if (it == http_.end() || it->second->answered) return;
    it->second->answered = true;
    it->second->deadline.stop();
    const std::string text = net::httpResponse(status, type, body);
    socket->write(text.data(), static_cast<qint64>(text.size()));
    QMetaObject::invokeMethod(socket, [socket] { socket->disconnectFromHost(); }, Qt::QueuedConnection);
}

void ApiServer::read(QTcpSocket* socket) {
    const auto it = http_.find(socket);
    if (it == http_.end() || it->second->answered || it->second->session) return;
    // Peeked, not read: an upgrade is handed over with its handshake unread.
    const QByteArray bytes = socket->peek(socket->bytesAvailable());
    const net::HttpRead r = net::readHttpRequest(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (r.state == net::HttpRead::Incomplete) {
        if (bytes.size() >= socket->readBufferSize()) answer(socket, 413, kText, "request too long");
        return;
    }
    if (r.state == net::HttpRead::Bad) {
        answer(socket, r.status, kText, r.reason);
        return;
    }
    const net::HttpRequest& q = r.request;
    // Without a token the service is on loopback: a request sent there
    // under another name comes from a page that had it resolve so.
    if (options_.token.empty() && !net::loopbackHost(q)) {
        answer(socket, 403, kText, "this panel answers on its loopback address only");
        return;
    }
    const bool api = q.path == "/api" || q.path.rfind("/api/", 0) == 0;
    if (api && !options_.token.empty() && !net::tokenMatches(net::presentedToken(q), options_.token)) {
        answer(socket, 401, kJson, errorBody("this panel asks for its token"));
        return;
    }
    if ((q.method != "GET" || net::isWebSocketUpgrade(q)) && !net::sameOrigin(q)) {
        answer(socket, 403, kJson, errorBody("a page from elsewhere may not use this panel"));
        return;
    }
    if (net::isWebSocketUpgrade(q)) {
        upgrade(socket, q);
        return;
    }
    socket->read(static_cast<qint64>(r.length));
    route(socket, q);
}

void ApiServer::route(QTcpSocket* socket, const net::HttpRequest& q) {
    for (const PageFile& f : kPage) {
        if (q.path != f.path) continue;
        if (q.method != "GET") return answer(socket, 405, kText, "GET only");
        QFile file(QString::fromLatin1(f.resource));
        if (!file.open(QIODevice::ReadOnly)) return answer(socket, 404, kText, "not found");
        return answer(socket, 200, f.type, file.readAll().toStdString());
    }
    if (q.path == "/api/chain" || q.path == "/api/commands") {
        if (q.method != "GET") return answer(socket, 405, kJson, errorBody("GET only"));
        const net::Json out = q.path == "/api/chain" ? net::chainJson(chain_) : net::commandsJson();
        return answer(socket, 200, kJson, net::jsonText(out));
    }
    if (q.path == "/api/command") {
        if (q.method != "POST") return answer(socket, 405, kJson, errorBody("POST only"));
        const net::ClientId client = httpClient(kindOf(q), RemoteSockets::hostText(socket->peerAddress()));
        if (client == 0) return answer(socket, 503, kJson, errorBody("too many clients"));
        Http& h = *http_.at(socket);
        h.deadline.stop();  // the camera takes its time; the line's own limits end the wait
        h.session = std::make_unique<net::ApiSession>(
            hub_, chain_, client, false, options_.rawPackets,
            [this, socket](const std::string& text, bool error) { answer(socket, error ? 400 : 200, kJson, text); });
        h.session->received(q.body);
        return;
    }
    answer(socket, 404, kJson, errorBody("no such path: " + q.path));
}

void ApiServer::upgrade(QTcpSocket* socket, const net::HttpRequest& q) {
    if (q.path != "/api") return answer(socket, 404, kJson, errorBody("the WebSocket is at /api"));
    if (handedOver_.size() >= kMaxConnections) handedOver_.clear();
    handedOver_[RemoteSockets::peerText(socket->peerAddress(), socket->peerPort())] = kindOf(q);
    socket->disconnect(this);
    http_.erase(socket);
    socket->setReadBufferSize(0);  // the WebSocket's own limits hold from here
    webSockets_.handleConnection(socket);
}

void ApiServer::opened() {
    while (QWebSocket* ws = webSockets_.nextPendingConnection()) {
        const std::string peer = RemoteSockets::peerText(ws->peerAddress(), ws->peerPort());
        net::ClientKind kind = net::ClientKind::Api;
        if (const auto it = handedOver_.find(peer); it != handedOver_.end()) {
            kind = it->second;
            handedOver_.erase(it);
        }
        const net::ClientId client = hub_.connect(kind, RemoteSockets::hostText(ws->peerAddress()));
        if (client == 0 || sockets_.size() >= kMaxConnections) {
            hub_.disconnect(client);
            ws->close(QWebSocketProtocol::CloseCodePolicyViolated, QStringLiteral("too many clients"));
            ws->deleteLater();
            continue;
        }
        ws->setMaxAllowedIncomingMessageSize(net::kMaxMessage);
        ws->setMaxAllowedIncomingFrameSize(net::kMaxMessage);
        auto s = std::make_unique<Socket>();
        s->client = client;
        s->session = std::make_unique<net::ApiSession>(
            hub_, chain_, client, true, options_.rawPackets,
            [ws](const std::string& text, bool) { ws->sendTextMessage(QString::fromStdString(text)); });
        net::ApiSession* session = s->session.get();
        sockets_[ws] = std::move(s);
        connect(ws, &QWebSocket::textMessageReceived, this,
                [session](const QString& m) { session->received(m.toStdString()); });
        connect(ws, &QWebSocket::binaryMessageReceived, this, [ws](const QByteArray&) {
            ws->sendTextMessage(QString::fromStdString(net::jsonText(net::errorJson(nullptr, "messages are JSON text"))));
        });
        connect(ws, &QWebSocket::disconnected, this, [this, ws] {
            ws->disconnect(this);
            const auto it = sockets_.find(ws);
            if (it != sockets_.end()) hub_.disconnect(it->second->client);  // its drives stop now
            QMetaObject::invokeMethod(
                this,
                [this, ws] {
                    sockets_.erase(ws);
                    ws->deleteLater();
                },
                Qt::QueuedConnection);
        });
    }
}

net::ClientId ApiServer::httpClient(net::ClientKind kind, const std::string& host) {
    const std::string key = std::string(net::clientKindName(kind)) + " " + host;
    if (const auto it = httpClients_.find(key); it != httpClients_.end()) {
        if (hub_.client(it->second.first)) {
            it->second.second = 0;
            return it->second.first;
        }
        httpClients_.erase(it);
    }
    const net::ClientId id = hub_.connect(kind, host);
    if (id != 0) httpClients_[key] = {id, 0};
    return id;
}

void ApiServer::forgetIdle() {
    for (auto it = httpClients_.begin(); it != httpClients_.end();) {
        const net::ClientInfo* c = hub_.client(it->second.first);
        const bool busy = c && (c->pending > 0 || hub_.drivesOf(c->id) > 0);
        if (c && (busy || ++it->second.second < kIdleRounds)) {
            ++it;
            continue;
        }
        hub_.disconnect(it->second.first);
        it = httpClients_.erase(it);
    }
}

}  // namespace orbus::netqt
