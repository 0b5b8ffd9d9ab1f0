// A whole panel on a simulated camera chain with a virtual clock, a memory
// settings store and a scripted operator: what the tests and benchmarks drive.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/frm_info.h"
#include "app/frm_main.h"
#include "app/frm_open.h"
#include "app/program.h"
#include "chain.h"
#include "app/routing_port.h"
#include "platform/testing/fakes.h"
#include "platform/testing/virtual_loop.h"
#include "sim_port.h"

namespace orbus::testing {

class Rig {
public:
    explicit Rig(const std::vector<std::string>& models = {"ORX-Beta"});
    // The panel's port is a routing port, as in the program: "Com n" opens
    // the n-th device of `devices` through openDevice, and the port
    // dialog's simulator entry a simulated chain of its own.
    struct Routed {};
    Rig(const std::vector<std::string>& models, Routed);
    ~Rig();

    VirtualLoop loop;
    MemorySettings settings;
    ScriptedWindows windows{loop};
    sim::Chain chain;
    sim::SimSerialPort port;
    FixedSerialDevices devices;
    // Routed rigs: what opening a device path gives (by default a port whose
    // far end is `chain`).
    std::function<std::unique_ptr<SerialPort>(const std::string& path)> openDevice;
    std::unique_ptr<RoutingPort> routing;
    Platform platform;
    std::unique_ptr<Program> program;

    FrmMain& main() { return program->frmMain(); }
    FrmOpen& open() { return program->frmOpen(); }
    FrmInfo& info() { return program->frmInfo(); }
    // The link's state, read; writable only in the identified model.
    LinkState& link() { return program->link; }
    // The link's events that change the rest.
    link::LinkControl& linkControl() { return main().linkControl(); }

    // Starts the program and presses OK in the port dialog: runs the whole
    // start-up. True when the main window came up.
    bool startUp(int comListIndex = 0, int baudOption = 0);
    // Opens the port directly and marks start-up as done, without the
    // start-up exchange (for tests of single procedures).
    void openQuietly();

    // Packets the chain received since the mark, as "81 09 00 02 FF" texts.
    std::vector<std::string> packetsSince(std::size_t mark) const;
    // Only those whose bytes after the header begin with `body` ("01" for
    // commands, "01 06" for pan-tilt commands).
    std::vector<std::string> packetsSince(std::size_t mark, const std::string& body) const;
    // A mark counts every packet the chain received, also those its capped
    // record has dropped since.
    std::size_t mark() const { return chain.receivedTotal(); }
    // Lets virtual time pass, delivering replies and ticks.
    void run(double seconds) { loop.runFor(seconds); }
    // Delivers events until nothing is under way on the line (every read,
    // start-up or exchange started has ended), at most maxSeconds of
    // virtual time. True when the line came to rest.
    bool settle(double maxSeconds = 120);
    // A status read run to its end (ReadCameraStatus's result).
    bool readStatus();
    // Each routine a handler starts (a status read, an address set) runs to
    // its end before the handler returns, as if the operator waited for
    // it: the tests of packet sequences read the line that way. Off, they
    // run beside the test as beside the window.
    void driveToEnd(bool on);
};

}  // namespace orbus::testing
