// What the panel's behaviour reaches of the machine, bundled for the forms.
#pragma once

#include "platform/clock.h"
#include "platform/serial_devices.h"
#include "platform/serial_port.h"
#include "platform/settings.h"
#include "platform/windows.h"

namespace orbus {

struct Platform {
    Clock& clock;
    EventPoster& poster;
    TimerService& timers;
    SettingsStore& settings;
    WindowSystem& windows;
    SerialPort& port;
    // What "Com n" maps to, for the port dialog.
    const SerialDevices& devices;
};

}  // namespace orbus
