#include "platform/qt/qt_serial.h"

#include <QSerialPortInfo>

#include "platform/device_check.h"


namespace orbus::qt {

QtSerialPort::QtSerialPort(std::string path) : path_(std::move(path)) {
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QtSerialPort::~QtSerialPort() {
    disconnect(&port_, nullptr, this, nullptr);
    if (port_.isOpen()) port_.close();
}

void QtSerialPort::setSettings(const LineSettings& s) {
    settings_ = s;
    if (port_.isOpen()) applySettings();
}

bool QtSerialPort::open() {
    gone_ = false;
    port_.setPortName(QString::fromStdString(path_));
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = port_.errorString().toStdString();
        // Qt says "permission" for a device this user may not open and for
        // one another program holds: the system's facts tell them apart.
        const QSerialPort::SerialPortError e = port_.error();
        const OpenRefusal said = e == QSerialPort::DeviceNotFoundError ? OpenRefusal::Missing
                                 : e == QSerialPort::PermissionError    ? OpenRefusal::Denied
                                                                        : OpenRefusal::Other;
        failure_ = diagnoseOpenFailure(path_, said, error_);
        return false;
    }
    applySettings();
    // Pseudo-terminals refuse modem lines: the port still serves.
    port_.setDataTerminalReady(dtr_);
    port_.clearError();
    error_.clear();
    failure_ = {};
    return true;
}

void QtSerialPort::applySettings() {
    port_.setBaudRate(settings_.baud);
    port_.setDataBits(settings_.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8);
    port_.setParity(settings_.parity == 'E'   ? QSerialPort::EvenParity
                    : settings_.parity == 'O' ? QSerialPort::OddParity
                                              : QSerialPort::NoParity);
    port_.setStopBits(settings_.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
}

void QtSerialPort::close() {
    if (port_.isOpen()) port_.close();
}

Bytes QtSerialPort::input() {
    if (!port_.isOpen()) return {};
    QByteArray a = port_.readAll();
    return Bytes(a.begin(), a.end());
}

int QtSerialPort::inBufferCount() {
    if (!port_.isOpen()) return 0;
    return static_cast<int>(port_.bytesAvailable());
}

bool QtSerialPort::output(const Bytes& bytes) {
    if (!isOpen()) return false;
    const qint64 n = port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    if (n != static_cast<qint64>(bytes.size())) return false;
    // Hand the bytes to the system now, without waiting for them to leave:
    // the port writes the rest as the line takes it.
    port_.flush();
    return !gone_;
}

void QtSerialPort::onReadyRead() {
    if (rThreshold_ >= 1 && onComm) onComm(ComEvReceive);
}

void QtSerialPort::onError(QSerialPort::SerialPortError e) {
    switch (e) {
    case QSerialPort::NoError:
    case QSerialPort::TimeoutError:
        return;
    case QSerialPort::ResourceError:
    case QSerialPort::PermissionError:
    case QSerialPort::DeviceNotFoundError:
        if (port_.isOpen() && !gone_) {
            gone_ = true;
            error_ = port_.errorString().toStdString();
            if (onComm) onComm(ComEventGone);
        }
        return;
    default:
        return;
    }
}

std::vector<SerialDevice> QtSerialDevices::list() const {
    std::vector<SerialDevice> out;
    for (const QSerialPortInfo& i : QSerialPortInfo::availablePorts())
        out.push_back({i.systemLocation().toStdString(), i.description().toStdString(),
                       i.manufacturer().toStdString(), i.serialNumber().toStdString()});
    return out;
}

}  // namespace orbus::qt
