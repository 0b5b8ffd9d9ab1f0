// A window-free station on the Qt event loop, its simulated chain and the
// hub of remote clients in front of it: what the network services' tests
// put their sockets on.
#pragma once

#include <string>
#include <vector>

#include "chain.h"
#include "model/station.h"
#include "net/remote_hub.h"
#include "platform/qt/qt_platform.h"
#include "platform/testing/fakes.h"
#include "pty_support.h"
#include "sim_port.h"

namespace orbus::testing {

struct HubStation {
    explicit HubStation(const std::vector<std::string>& models) : chain(models) {}

    qt::QtClock clock;
    qt::QtPoster poster;
    qt::QtTimerService timers;
    MemorySettings settings;
    RecordingWindows windows;
    sim::Chain chain;
    sim::SimSerialPort port{chain, clock, poster};
    FixedSerialDevices devices;
    Platform platform{clock, poster, timers, settings, windows, port, devices};
    model::Station station{platform};
    net::RemoteHub hub{station.commands(), clock, poster};
};

}  // namespace orbus::testing
