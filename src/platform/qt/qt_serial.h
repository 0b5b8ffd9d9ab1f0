// Serial ports on Qt: a real port (QSerialPort) and the list of devices.
#pragma once

#include <QObject>
#include <QSerialPort>

#include "platform/serial_devices.h"
#include "platform/serial_port.h"

namespace orbus::qt {

class QtSerialPort : public QObject, public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(std::string path);
    ~QtSerialPort() override;

    void setCommPort(int number) override { number_ = number; }
    int commPort() const override { return number_; }
    void setSettings(const LineSettings& s) override;
    void setDTREnable(bool on) override { dtr_ = on; }
    bool open() override;
    void close() override;
    bool isOpen() const override { return port_.isOpen() && !gone_; }
    std::string lastError() const override { return error_; }
    OpenFailure openFailure() const override { return failure_; }
    void setRThreshold(int n) override { rThreshold_ = n; }
    int rThreshold() const override { return rThreshold_; }
    void setSThreshold(int n) override { sThreshold_ = n; }
    Bytes input() override;
    int inBufferCount() override;
    bool output(const Bytes& bytes) override;

    const std::string& path() const { return path_; }

private:
    void applySettings();
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
    OpenFailure failure_;
};

// The serial devices Qt's serial port information lists.
class QtSerialDevices : public SerialDevices {
public:
    std::vector<SerialDevice> list() const override;
};

}  // namespace orbus::qt
