// A camera line behind a serial device server, on Qt's TCP socket: raw bytes
// (tcp://HOST:PORT) or Telnet with the COM-PORT option (rfc2217://HOST:PORT).
// Opening connects (3 s at most, the window's events still served); a
// connection that ends, is reset or is refused is the port going away.
#pragma once

#include <QObject>
#include <QTcpSocket>
#include <memory>

#include "platform/net_address.h"
#include "platform/serial_port.h"
#include "platform/telnet_com_port.h"

namespace orbus::qt {

class QtNetworkPort : public QObject, public SerialPort {
    Q_OBJECT
public:
    // How long a connect may take before it is given up.
    static constexpr int kConnectMs = 3000;
    // After connecting, how long a device server has to say no (one that
    // serves another client accepts, says so, and closes).
    static constexpr int kRefusalMs = 250;

    explicit QtNetworkPort(std::string address);
    ~QtNetworkPort() override;

    void setCommPort(int number) override { number_ = number; }
    int commPort() const override { return number_; }
    void setSettings(const LineSettings& s) override;
    void setDTREnable(bool on) override { dtr_ = on; }
    bool open() override;
    void close() override;
    bool isOpen() const override { return open_ && !gone_; }
    std::string lastError() const override { return error_; }
    OpenFailure openFailure() const override { return failure_; }
    void setRThreshold(int n) override { rThreshold_ = n; }
    int rThreshold() const override { return rThreshold_; }
    void setSThreshold(int n) override { sThreshold_ = n; }
    Bytes input() override;
    int inBufferCount() override { return static_cast<int>(in_.size()); }
    bool output(const Bytes& bytes) override;

    const std::string& address() const { return text_; }
    // The speed the device server said it set (COM-PORT only; 0: none yet).
    int serverBaud() const { return telnet_ ? telnet_->serverBaud() : 0; }

private:
    bool failOpen(std::string words);
    std::string socketWords(QAbstractSocket::SocketError e) const;
    std::string serverText() const;
    void send(const Bytes& raw);
    void onReadyRead();
    void onLost();

    std::string text_;
    NetAddress address_;
    QTcpSocket socket_;
    std::unique_ptr<TelnetComPort> telnet_;
    int number_ = 1;
    LineSettings settings_;
    bool dtr_ = true;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    bool open_ = false;     // connected and handed to the panel
    bool gone_ = false;
    Bytes in_;
    std::string error_;
    OpenFailure failure_;
};

// The port for what "Com n" or the port dialog names: a network port for
// tcp:// and rfc2217:// addresses, a serial device for anything else.
std::unique_ptr<SerialPort> openPortAt(const std::string& target);

}  // namespace orbus::qt
