// A serial port that lets a listener see every packet written and every
// byte read, with the time; everything else is handed to the port underneath.
#pragma once

#include "platform/clock.h"
#include "platform/serial_port.h"

namespace orbus {

class PortListener {
public:
    virtual ~PortListener() = default;
    virtual void sent(const Bytes& bytes, double now) = 0;
    virtual void received(const Bytes& bytes, double now) = 0;
};

class PortTap : public SerialPort {
public:
    PortTap(SerialPort& inner, Clock& clock, PortListener& listener);
    ~PortTap() override;

    void setCommPort(int number) override { inner_.setCommPort(number); }
    int commPort() const override { return inner_.commPort(); }
    void setSimulator(const std::string& models) override { inner_.setSimulator(models); }
    void setNetwork(const std::string& address) override { inner_.setNetwork(address); }
    void setSettings(const LineSettings& s) override { inner_.setSettings(s); }
    void setDTREnable(bool on) override { inner_.setDTREnable(on); }
    bool open() override { return inner_.open(); }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    std::string lastError() const override { return inner_.lastError(); }
    OpenFailure openFailure() const override { return inner_.openFailure(); }
    void setRThreshold(int n) override { inner_.setRThreshold(n); }
    int rThreshold() const override { return inner_.rThreshold(); }
    void setSThreshold(int n) override { inner_.setSThreshold(n); }
    Bytes input() override;
    int inBufferCount() override { return inner_.inBufferCount(); }
    bool output(const Bytes& bytes) override;

private:
    SerialPort& inner_;
    Clock& clock_;
    PortListener& listener_;
};

}  // namespace orbus
