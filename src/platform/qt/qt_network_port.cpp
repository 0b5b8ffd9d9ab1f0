#include "platform/qt/qt_network_port.h"

#include <QElapsedTimer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "platform/qt/qt_serial.h"

namespace orbus::qt {

QtNetworkPort::QtNetworkPort(std::string address) : text_(std::move(address)) {
    connect(&socket_, &QTcpSocket::readyRead, this, &QtNetworkPort::onReadyRead);
    connect(&socket_, &QTcpSocket::disconnected, this, &QtNetworkPort::onLost);
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) { onLost(); });
}

QtNetworkPort::~QtNetworkPort() {
    disconnect(&socket_, nullptr, this, nullptr);
    socket_.abort();
}

void QtNetworkPort::setSettings(const LineSettings& s) {
    settings_ = s;
    // Over raw TCP the speed is the device server's own setting.
    if (telnet_ && socket_.state() == QAbstractSocket::ConnectedState) send(telnet_->settings(s));
}

bool QtNetworkPort::failOpen(std::string words) {
    error_ = std::move(words);
    failure_ = {};
    failure_.kind = OpenFailure::Kind::Other;
    failure_.path = text_;
    failure_.system = error_;
    open_ = false;
    socket_.abort();
    in_.clear();
    return false;
}

std::string QtNetworkPort::socketWords(QAbstractSocket::SocketError e) const {
    const std::string where = hostPortText(address_);
    switch (e) {
    case QAbstractSocket::ConnectionRefusedError:
        return "connection refused by " + where + " (nothing listens there)";
    case QAbstractSocket::HostNotFoundError: return "the host name " + address_.host + " does not resolve";
    case QAbstractSocket::RemoteHostClosedError: return "connection closed by the device server at " + where;
    case QAbstractSocket::NetworkError:
        return "the network to " + where + " failed: " + socket_.errorString().toStdString();
    case QAbstractSocket::SocketTimeoutError: return "time-out: no answer from " + where;
    default: break;
    }
    const std::string words = socket_.errorString().toStdString();
    if (words.find("reset") != std::string::npos || words.find("Reset") != std::string::npos)
        return "connection reset by " + where;
    if (words.find("nreachable") != std::string::npos) return "unreachable host " + where + ": " + words;
    return words + " (" + where + ")";
}

// What a server that turned the panel away said, as one line of text.
std::string QtNetworkPort::serverText() const {
    std::string s;
    for (std::uint8_t b : in_) {
        if (b >= 0x20 && b < 0x7F) s += static_cast<char>(b);
        else if (!s.empty() && s.back() != ' ') s += ' ';
    }
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

bool QtNetworkPort::open() {
    close();
    gone_ = false;
    error_.clear();
    failure_ = {};
    in_.clear();
    std::string why;
    if (!parseNetAddress(text_, address_, &why))
        return failOpen(text_ + " is no network port (" + why + "); write " + kNetAddressForms);
    telnet_.reset();
    if (address_.kind == NetAddress::Kind::ComPort) telnet_ = std::make_unique<TelnetComPort>();

    socket_.connectToHost(QString::fromStdString(address_.host), static_cast<quint16>(address_.port));
    // The window's events go on while the connect runs (the operator's
    // input waits for its end); each turn blocks until something happens.
    bool settled = false;
    QTimer limit;
    limit.setSingleShot(true);
    const auto stop = [&] { settled = true; };
    const QMetaObject::Connection onLimit = connect(&limit, &QTimer::timeout, this, stop);
    const QMetaObject::Connection onUp = connect(&socket_, &QTcpSocket::connected, this, stop);
    const QMetaObject::Connection onError = connect(&socket_, &QTcpSocket::errorOccurred, this, stop);
    const QMetaObject::Connection onDown = connect(&socket_, &QTcpSocket::disconnected, this, stop);
    const auto waitFor = [&](int ms) {
        settled = false;
        limit.start(ms);
        while (!settled) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
        limit.stop();
    };
    const auto connecting = [this] {
        return socket_.state() == QAbstractSocket::HostLookupState || socket_.state() == QAbstractSocket::ConnectingState;
    };
    if (connecting()) waitFor(kConnectMs);
    if (socket_.state() != QAbstractSocket::ConnectedState) {
        for (const QMetaObject::Connection& c : {onLimit, onUp, onError, onDown}) disconnect(c);
        if (connecting())
            return failOpen("time-out: no connection to " + hostPortText(address_) + " within " +
                            std::to_string(kConnectMs / 1000) + " s");
        return failOpen(socketWords(socket_.error()));
    }
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (telnet_) send(telnet_->start(settings_));

    // A server that serves another client accepts, may say so, and closes.
    if (socket_.state() == QAbstractSocket::ConnectedState) waitFor(kRefusalMs);
    for (const QMetaObject::Connection& c : {onLimit, onUp, onError, onDown}) disconnect(c);
    if (socket_.state() != QAbstractSocket::ConnectedState) {
        const std::string said = serverText();
        return failOpen("the device server at " + hostPortText(address_) + " refused the connection" +
                        (said.empty() ? std::string(" (it may serve another client)") : ": " + said));
    }
    // Nothing was asked of the camera yet: what came is the server's.
    in_.clear();
    open_ = true;
    return true;
}

void QtNetworkPort::close() {
    open_ = false;
    gone_ = false;
    // Not open any more: the end of the connection is no loss to tell.
    if (socket_.state() != QAbstractSocket::UnconnectedState) socket_.abort();
    in_.clear();
}

Bytes QtNetworkPort::input() {
    Bytes out;
    out.swap(in_);
    return out;
}

void QtNetworkPort::send(const Bytes& raw) {
    if (raw.empty()) return;
    socket_.write(reinterpret_cast<const char*>(raw.data()), static_cast<qint64>(raw.size()));
    socket_.flush();
}

bool QtNetworkPort::output(const Bytes& bytes) {
    if (!isOpen() || socket_.state() != QAbstractSocket::ConnectedState) return false;
    const Bytes raw = telnet_ ? TelnetComPort::escape(bytes) : bytes;
    const qint64 n = socket_.write(reinterpret_cast<const char*>(raw.data()), static_cast<qint64>(raw.size()));
    if (n != static_cast<qint64>(raw.size())) return false;
    socket_.flush();
    return !gone_;
}

void QtNetworkPort::onReadyRead() {
    const QByteArray a = socket_.readAll();
    if (a.isEmpty()) return;
    const auto* p = reinterpret_cast<const std::uint8_t*>(a.constData());
    const std::size_t before = in_.size();
    if (telnet_) {
        Bytes answer;
        const Bytes data = telnet_->receive(p, static_cast<std::size_t>(a.size()), answer);
        in_.insert(in_.end(), data.begin(), data.end());
        send(answer);
    } else {
        in_.insert(in_.end(), p, p + a.size());
    }
    if (open_ && in_.size() > before && rThreshold_ >= 1 && onComm) onComm(ComEvReceive);
}

void QtNetworkPort::onLost() {
    if (!open_ || gone_) return;
    gone_ = true;
    const QAbstractSocket::SocketError e = socket_.error();
    error_ = socketWords(e == QAbstractSocket::UnknownSocketError ? QAbstractSocket::RemoteHostClosedError : e);
    if (onComm) onComm(ComEventGone);
}

std::unique_ptr<SerialPort> openPortAt(const std::string& target) {
    if (looksLikeNetAddress(target)) return std::make_unique<QtNetworkPort>(target);
    return std::make_unique<QtSerialPort>(target);
}

}  // namespace orbus::qt
