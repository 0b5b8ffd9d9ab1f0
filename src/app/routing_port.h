// The panel's serial port: "Com n" opens the path in ORBUS_COM<n> when set,
// else the n-th serial device present (see portTarget); the value
// sim:<model>[,<model>...] opens an in-process simulated chain, and so does
// the port dialog's "Simulator" entry. A network address (tcp://HOST:PORT,
// rfc2217://HOST:PORT), in ORBUS_COM<n> or from the dialog's "Network..."
// entry, reaches a serial device server. Real devices and network ports are
// opened through the platform's device opener (Qt ports in the program, a
// fake in tests); a malformed address is refused before it is tried.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/serial_devices.h"
#include "platform/serial_port.h"

namespace orbus::sim {
class Chain;
}

namespace orbus {

class RoutingPort : public SerialPort {
public:
    using DeviceOpener = std::function<std::unique_ptr<SerialPort>(const std::string& path)>;

    RoutingPort(Clock& clock, EventPoster& poster, const SerialDevices& devices, DeviceOpener openDevice);
    ~RoutingPort() override;

    void setCommPort(int number) override { number_ = number; }
    int commPort() const override { return number_; }
    void setSimulator(const std::string& models) override { simulator_ = models; }
    void setNetwork(const std::string& address) override { network_ = address; }
    void setSettings(const LineSettings& s) override;
    void setDTREnable(bool on) override;
    bool open() override;
    void close() override;
    bool isOpen() const override;
    std::string lastError() const override;
    OpenFailure openFailure() const override;
    void setRThreshold(int n) override;
    int rThreshold() const override;
    void setSThreshold(int n) override;
    Bytes input() override;
    int inBufferCount() override;
    bool output(const Bytes& bytes) override;

    SerialPort* current() const { return current_.get(); }
    // The simulated chain the port opened last for this target, or nullptr.
    sim::Chain* chain(const std::string& target) const;

private:
    // What the next open opens: a device path, a network address or
    // "sim:<models>"; empty: nothing.
    std::string target() const;
    bool fail(OpenFailure::Kind kind, std::string path, std::string words);

    Clock& clock_;
    EventPoster& poster_;
    const SerialDevices& devices_;
    DeviceOpener openDevice_;
    int number_ = 1;
    std::string simulator_;
    std::string network_;
    LineSettings settings_;
    bool dtr_ = true;
    int rThreshold_ = 0;
    int sThreshold_ = 0;
    OpenFailure failure_;
    std::unique_ptr<SerialPort> current_;
    // Simulated chains keep their state while the panel reopens the port.
    std::map<std::string, std::unique_ptr<sim::Chain>> chains_;
};

}  // namespace orbus
