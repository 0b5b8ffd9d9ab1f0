// A try by hand of the gamepad on a real window: the panel as orbus-panel
// runs it (ORBUS_COM1=sim:ORX-Kappa for a simulated camera), with one of
// SDL's virtual joysticks plugged in inside the process and moved by a
// short script: View > Gamepad… opens, the stick pans, rests, zooms, is
// unplugged mid-drive. A picture of the screen is taken while the dialog
// shows the stick (PAD_TRY_SHOT names the file; needs ImageMagick's import)
// and the packets sent are printed with their source at the end.
#include <QApplication>
#include <QTime>
#include <QTimer>

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "app/frm_gamepad.h"
#include "app/frm_main.h"
#include "app/frm_open.h"
#include "app/program.h"
#include "app/qt_machine.h"
#include "app/traffic_record.h"
#include "gamepad/sdl/sdl_reader.h"
#include "platform/qt/form_view.h"

using namespace orbus;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(Program::kTitle);
    qt::QtSettingsStore settings;
    qt::QtWindowSystem windows;
    qt::QtMachine machine(settings, windows);
    Program program(machine.platform);
    qt::ViewSet views(program.forms());
    windows.setViews(&views);
    program.start();

    gamepad::SdlReader pads(program.gamepad());
    QTimer padTimer;
    padTimer.setTimerType(Qt::PreciseTimer);
    padTimer.setInterval(10);
    QObject::connect(&padTimer, &QTimer::timeout, [&pads] { pads.poll(); });
    padTimer.start();

    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                 SDL_CONTROLLER_BUTTON_MAX, 0);
    SDL_Joystick* js = SDL_JoystickOpen(device);
    if (!js) {
        std::fprintf(stderr, "no virtual joystick: %s\n", SDL_GetError());
        return 1;
    }
    SDL_JoystickSetVirtualAxis(js, SDL_CONTROLLER_AXIS_TRIGGERLEFT, -32768);
    SDL_JoystickSetVirtualAxis(js, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
    auto axis = [js](SDL_GameControllerAxis a, double v) {
        SDL_JoystickSetVirtualAxis(js, a, static_cast<Sint16>(v * 32767));
    };
    const char* shot = std::getenv("PAD_TRY_SHOT");

    struct Step {
        int ms;
        const char* what;
        std::function<void()> act;
    };
    std::vector<Step> steps = {
        {500, "port dialog OK", [&] { program.frmOpen().Command1.click(); }},
        {6000, "View > Gamepad…", [&] { program.frmMain().ViewGamepad.click(); }},
        {6500, "stick resting at 10 %", [&] { axis(SDL_CONTROLLER_AXIS_LEFTX, 0.10); }},
        {7000, "stick right and up", [&] {
             axis(SDL_CONTROLLER_AXIS_LEFTX, 0.7);
             axis(SDL_CONTROLLER_AXIS_LEFTY, -0.4);
         }},
        {7600, "picture", [&] {
             if (shot) std::system((std::string("import -window root ") + shot).c_str());
         }},
        {8500, "stick back", [&] {
             axis(SDL_CONTROLLER_AXIS_LEFTX, 0.05);
             axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
         }},
        {9000, "zoom tele", [&] { axis(SDL_CONTROLLER_AXIS_RIGHTY, -1.0); }},
        {9500, "zoom let go", [&] { axis(SDL_CONTROLLER_AXIS_RIGHTY, 0); }},
        {10000, "full left", [&] { axis(SDL_CONTROLLER_AXIS_LEFTX, -1.0); }},
        {10500, "unplugged mid-drive", [&] {
             SDL_JoystickClose(js);
             SDL_JoystickDetachVirtual(device);
         }},
        {11500, "close the panel", [&] { program.frmMain().Form_Unload(); }},
    };
    for (const Step& s : steps) {
        QTimer::singleShot(s.ms, Qt::PreciseTimer, [&s] {
            std::printf("%s  %6d ms  %s\n", QTime::currentTime().toString("hh:mm:ss.zzz").toStdString().c_str(), s.ms,
                        s.what);
            std::fflush(stdout);
            s.act();
        });
    }
    QTimer::singleShot(12500, [] { QApplication::quit(); });
    const int rc = windows.ending() ? 0 : QApplication::exec();
    // The traffic from the gamepad's first packet on.
    bool seen = false;
    for (std::size_t i = 0; i < program.traffic.size(); ++i) {
        const TrafficRow& row = program.traffic.at(i);
        seen = seen || trafficSource(row) == "gamepad";
        if (!seen) continue;
        std::printf("%s  %-8s %-14s %-28s %s\n", trafficClock(program.traffic, row).c_str(),
                    trafficDirection(row).c_str(), trafficSource(row).c_str(), trafficHex(row).c_str(),
                    trafficMeaning(row).c_str());
    }
    windows.setViews(nullptr);
    return rc;
}
