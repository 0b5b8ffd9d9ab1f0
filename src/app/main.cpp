// orbus-panel: the control panel on the machine's serial ports.
#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <string>
#include <vector>

#include "app/frm_remote.h"
#include "app/program.h"
#include "app/qt_machine.h"
#include "app/remote_control.h"
#include "gamepad/sdl/sdl_reader.h"
#include "net/qt/api_server.h"
#include "net/qt/remote_sockets.h"
#include "platform/qt/form_view.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(orbus::Program::kTitle);
    QApplication::setWindowIcon(orbus::qt::iconFor("orbus"));

    orbus::qt::QtSettingsStore settings;
    orbus::qt::QtWindowSystem windows;
    orbus::qt::QtMachine machine(settings, windows);

    int rc = 0;
    {
        orbus::Program program(machine.platform);
        // Closed before the program: its clients' drives are stopped while the link still runs.
        orbus::netqt::RemoteSockets sockets(program.remoteHub(), machine.platform.clock);
        program.setRemoteTransports(&sockets);
        orbus::netqt::ApiServer api(program.remoteHub(), program.cameras);
        program.setApiTransports(&api);
        // The stored services, with the command line's for this run.
        std::vector<std::string> args;
        for (const QString& a : QApplication::arguments()) args.push_back(a.toStdString());
        const orbus::RemoteChoice remote = orbus::withArguments(orbus::loadRemoteChoice(program), args);
        if (remote.any()) {
            const orbus::RemoteApplied applied = program.frmRemote().applyForThisRun(remote);
            if (!applied.message.empty()) std::fprintf(stderr, "orbus-panel: %s\n", applied.message.c_str());
            for (const std::string& e : sockets.endpoints()) std::fprintf(stderr, "orbus-panel: remote control on %s\n", e.c_str());
            for (const std::string& e : api.endpoints()) std::fprintf(stderr, "orbus-panel: remote control on %s\n", e.c_str());
        }
        orbus::qt::ViewSet views(program.forms());
        windows.setViews(&views);
        program.start();
        // Game controllers, read on this thread between the window's events.
        orbus::gamepad::SdlReader pads(program.gamepad());
        QTimer padTimer;
        padTimer.setTimerType(Qt::PreciseTimer);
        padTimer.setInterval(static_cast<int>(orbus::gamepad::SdlReader::kPollSeconds * 1000));
        QObject::connect(&padTimer, &QTimer::timeout, [&pads] { pads.poll(); });
        if (pads.ready()) padTimer.start();
        if (!windows.ending()) rc = QApplication::exec();
        windows.setViews(nullptr);
        program.setApiTransports(nullptr);
        program.setRemoteTransports(nullptr);
    }
    return rc;
}
