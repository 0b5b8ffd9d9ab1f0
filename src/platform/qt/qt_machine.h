// The machine as the panel sees it, on Qt: clock, deferred calls, window
// timers and the routing serial port, bundled with a settings store and a
// window system chosen by the caller (the real ones, or test doubles).
#pragma once

#include "platform/platform.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_serial.h"

namespace orbus::qt {

class QtMachine {
public:
    QtMachine(SettingsStore& settings, WindowSystem& windows)
        : port(clock, poster), platform{clock, poster, timers, settings, windows, port} {}

    QtClock clock;
    QtPoster poster;
    QtTimerService timers;
    RoutingPort port;
    Platform platform;
};

}  // namespace orbus::qt
