// Serial ports on Qt: a real port (QSerialPort) and the routing port that
// maps "Com n" to a device path or to an in-process simulated chain.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <map>
#include <memory>

#include "platform/clock.h"
#include "platform/serial_devices.h"
#include "platform/serial_port.h"

namespace orbus::sim {
class Chain;
}

namespace orbus::qt {

class QtSerialPort : public QObject, public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(std::string path);
    ~QtSerialPort() override;

    void setCommPort(int number) override { number_ = number; }
    int commPort() const override { return number_; }
    void setSettings(const LineSettings& s) override { settings_ = s; }
    void setDTREnable(bool on) override { dtr_ = on; }
    bool open() override;
    void close() override;
    bool isOpen() const override { return port_.isOpen() && !gone_; }
    std::string lastError() const override { return error_; }
    void setRThreshold(int n) override { rThreshold_ = n; }
    int rThreshold() const override { return rThreshold_; }
    void setSThreshold(int n) override { sThreshold_ = n; }
    Bytes input() override;
    int inBufferCount() override;
    bool output(const Bytes& bytes) override;

    const std::string& path() const { return path_; }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError e);

    std::string path_;
    QSerialPort port_;
    int number_ = 1;
    LineSettings settings_;
    bool dtr_ = true;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    bool gone_ = false;
    std::string error_;
};

// The serial devices Qt's serial port information lists.
class QtSerialDevices : public SerialDevices {
public:
    std::vector<SerialDevice> list() const override;
};

// "Com n" opens the path in ORBUS_COM<n> when set, else the n-th serial
// device present (see portTarget); the value sim:<model>[,<model>...] opens
// an in-process simulated chain.
class RoutingPort : public SerialPort {
public:
    RoutingPort(Clock& clock, EventPoster& poster, const SerialDevices& devices);
    ~RoutingPort() override;

    void setCommPort(int number) override { number_ = number; }
    int commPort() const override { return number_; }
    void setSettings(const LineSettings& s) override;
    void setDTREnable(bool on) override;
    bool open() override;
    void close() override;
    bool isOpen() const override;
    std::string lastError() const override;
    void setRThreshold(int n) override;
    int rThreshold() const override;
    void setSThreshold(int n) override;
    Bytes input() override;
    int inBufferCount() override;
    bool output(const Bytes& bytes) override;

    SerialPort* current() const { return current_.get(); }

private:

    Clock& clock_;
    EventPoster& poster_;
    const SerialDevices& devices_;
    int number_ = 1;
    LineSettings settings_;
    bool dtr_ = true;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    std::string error_;
    std::unique_ptr<SerialPort> current_;
    // Simulated chains keep their state while the panel reopens the port.
    std::map<std::string, std::unique_ptr<sim::Chain>> chains_;
};

}  // namespace orbus::qt
