// The serial port as the panel uses it. One port object is the panel's line
// to the camera chain; implementations: a real port (Qt), an in-process
// simulated chain, and the routing port that picks one of them at opening.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orbus {

using Bytes = std::vector<std::uint8_t>;

// Communication event codes raised through onComm.
enum CommEvent : int {
    ComEvSend = 1,
    ComEvReceive = 2,
    ComEvCTS = 3,
    ComEvDSR = 4,
    ComEvCD = 5,
    ComEvRing = 6,
    ComEvEOF = 7,
    ComEventBreak = 1001,
    ComEventFrame = 1004,
    ComEventOverrun = 1006,
    ComEventRxOver = 1008,
    ComEventRxParity = 1009,
    ComEventTxFull = 1010,
    ComEventDCB = 1011,
    // The device went away (adapter unplugged, far end of a terminal closed).
    ComEventGone = 1100,
};

// A process that holds a device.
struct DeviceHolder {
    long pid = 0;
    std::string program;  // its command name; may be empty
    bool operator==(const DeviceHolder&) const = default;
};

// Why a port did not open, in the terms an operator can act on.
struct OpenFailure {
    enum class Kind {
        None,        // it opened (or was never tried)
        NotAllowed,  // this user may not open the device
        Busy,        // another program holds it
        Missing,     // no such device (unplugged, a stale path, Com n beyond the devices present)
        Other,       // anything else: the system's words say what
    };
    Kind kind = Kind::None;
    std::string path;    // the device tried; empty when "Com n" names none
    // NotAllowed: the group that owns the device and may read and write it
    // (joining it helps); empty when joining no group would.
    std::string group;
    // Busy: the programs that hold it, as far as the system lets us see; one
    // that locked the port comes first.
    std::vector<DeviceHolder> holders;
    std::string system;  // the system's own words ("Permission denied")
};

struct LineSettings {
    int baud = 9600;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    virtual void setCommPort(int number) = 0;
    virtual int commPort() const = 0;
    // Opens the built-in simulated chain of these models ("ORX-Kappa,KBM-R20")
    // instead of "Com n"; empty: "Com n" again. A port that opens one line
    // only ignores it.
    virtual void setSimulator(const std::string& models) { (void)models; }
    // Opens the camera line behind a serial device server at this address
    // ("tcp://HOST:PORT" or "rfc2217://HOST:PORT") instead of "Com n"; empty:
    // "Com n" again. The simulator, when chosen, comes first.
    virtual void setNetwork(const std::string& address) { (void)address; }
    // Takes effect at the next open, and at once on an open port.
    virtual void setSettings(const LineSettings& s) = 0;
    virtual void setDTREnable(bool on) = 0;

    // Opens the port; false (with lastError) when it cannot be opened.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual std::string lastError() const = 0;
    // Why the last open failed (kind None after a successful open).
    virtual OpenFailure openFailure() const { return {}; }

    // 0: no receive events, bytes wait in the input buffer; 1: an event
    // whenever bytes arrive (one event may cover several bytes).
    virtual void setRThreshold(int n) = 0;
    virtual int rThreshold() const = 0;
    virtual void setSThreshold(int n) = 0;

    // Reads and removes everything buffered.
    virtual Bytes input() = 0;
    virtual int inBufferCount() = 0;
    // Writes the bytes in one output operation; false when the port is not
    // open or the write failed.
    virtual bool output(const Bytes& bytes) = 0;


    // Communication events, delivered on the user-interface thread.
    std::function<void(int)> onComm;
};

}  // namespace orbus
