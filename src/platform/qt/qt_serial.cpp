#include "platform/qt/qt_serial.h"

#include <QSerialPortInfo>

#include "chain.h"
#include "sim_port.h"

namespace orbus::qt {

QtSerialPort::QtSerialPort(std::string path) : path_(std::move(path)) {
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QtSerialPort::~QtSerialPort() {
    disconnect(&port_, nullptr, this, nullptr);
    if (port_.isOpen()) port_.close();
}

bool QtSerialPort::open() {
    gone_ = false;
    port_.setPortName(QString::fromStdString(path_));
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = port_.errorString().toStdString();
        return false;
    }
    port_.setBaudRate(settings_.baud);
    port_.setDataBits(settings_.dataBits == 7 ? QSerialPort::Data7 : QSerialPort::Data8);
    port_.setParity(settings_.parity == 'E'   ? QSerialPort::EvenParity
                    : settings_.parity == 'O' ? QSerialPort::OddParity
                                              : QSerialPort::NoParity);
    port_.setStopBits(settings_.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    // Pseudo-terminals refuse modem lines: the port still serves.
    port_.setDataTerminalReady(dtr_);
    port_.clearError();
    error_.clear();
    return true;
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
        out.push_back({i.systemLocation().toStdString(), i.description().toStdString()});
    return out;
}

RoutingPort::RoutingPort(Clock& clock, EventPoster& poster, const SerialDevices& devices)
    : clock_(clock), poster_(poster), devices_(devices) {}

RoutingPort::~RoutingPort() {
    if (current_) current_->onComm = nullptr;
    current_.reset();
}

void RoutingPort::setSettings(const LineSettings& s) {
    settings_ = s;
    if (current_) current_->setSettings(s);
}

void RoutingPort::setDTREnable(bool on) {
    dtr_ = on;
    if (current_) current_->setDTREnable(on);
}

bool RoutingPort::open() {
    if (current_) {
        current_->onComm = nullptr;
        current_->close();
        current_.reset();
    }
    const std::string t = portTarget(devices_, number_).path;
    if (t.empty()) {
        // Fewer devices than the number: the open fails like a missing device.
        error_ = "no serial device for Com " + std::to_string(number_);
        return false;
    }
    if (t.rfind("sim:", 0) == 0) {
        auto& chain = chains_[t];
        if (!chain) chain = sim::Chain::fromList(t.substr(4));
        if (chain->size() == 0) {
            error_ = "no known camera model in " + t;
            return false;
        }
        current_ = std::make_unique<sim::SimSerialPort>(*chain, clock_, poster_);
    } else {
        current_ = std::make_unique<QtSerialPort>(t);
    }
    current_->setCommPort(number_);
    current_->setSettings(settings_);
    current_->setDTREnable(dtr_);
    current_->setRThreshold(rThreshold_);
    current_->setSThreshold(sThreshold_);
    current_->onComm = [this](int e) {
        if (onComm) onComm(e);
    };
    if (!current_->open()) {
        error_ = current_->lastError();
        current_->onComm = nullptr;
        current_.reset();
        return false;
    }
    error_.clear();
    return true;
}

void RoutingPort::close() {
    if (current_) current_->close();
}

bool RoutingPort::isOpen() const { return current_ && current_->isOpen(); }

std::string RoutingPort::lastError() const { return current_ ? current_->lastError() : error_; }

void RoutingPort::setRThreshold(int n) {
    rThreshold_ = n;
    if (current_) current_->setRThreshold(n);
}

int RoutingPort::rThreshold() const { return rThreshold_; }

void RoutingPort::setSThreshold(int n) {
    sThreshold_ = n;
    if (current_) current_->setSThreshold(n);
}

Bytes RoutingPort::input() { return current_ ? current_->input() : Bytes{}; }

int RoutingPort::inBufferCount() { return current_ ? current_->inBufferCount() : 0; }

bool RoutingPort::output(const Bytes& bytes) { return current_ && current_->isOpen() && current_->output(bytes); }

}  // namespace orbus::qt
