// The machine as the panel sees it, on Qt: clock, deferred calls, window
// timers, the serial devices and the routing serial port ("Com n" and the
// simulator), bundled with a settings store and a window system chosen by
// the caller (the real ones, or test doubles). The program assembles it;
// the Qt view below knows nothing of the routing.
#pragma once

#include "platform/platform.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_network_port.h"
#include "platform/qt/qt_serial.h"
#include "app/routing_port.h"

namespace orbus::qt {

class QtMachine {
public:
    QtMachine(SettingsStore& settings, WindowSystem& windows)
        : port(clock, poster, devices, [](const std::string& path) { return openPortAt(path); }),
          platform{clock, poster, timers, settings, windows, port, devices} {}

    QtClock clock;
    QtPoster poster;
    QtTimerService timers;
    QtSerialDevices devices;
    RoutingPort port;
    Platform platform;
};

}  // namespace orbus::qt
