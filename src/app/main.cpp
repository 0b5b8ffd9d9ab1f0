// orbus-panel: the control panel on the machine's serial ports.
#include <QApplication>

#include <cstdio>
#include <string>

#include "app/program.h"
#include "app/qt_machine.h"
#include "net/qt/api_server.h"
#include "net/qt/remote_sockets.h"
#include "net/transports.h"
#include "platform/qt/form_view.h"

namespace {

// --remote [ADDRESS] turns the network services on, bound to ADDRESS
// (127.0.0.1 by default); --remote-token TOKEN allows a wider bind;
// --remote-raw lets the JSON API take raw packets; --api-port N moves it.
struct RemoteArguments {
    bool on = false;
    std::string address;
    std::string token;
    bool raw = false;
    int apiPort = 8711;
};

RemoteArguments remoteArguments(const QStringList& args) {
    RemoteArguments r;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == "--remote") {
            r.on = true;
            if (i + 1 < args.size() && !args[i + 1].startsWith("--")) r.address = args[++i].toStdString();
        } else if (args[i] == "--remote-token" && i + 1 < args.size()) {
            r.token = args[++i].toStdString();
        } else if (args[i] == "--remote-raw") {
            r.raw = true;
        } else if (args[i] == "--api-port" && i + 1 < args.size()) {
            bool ok = false;
            const int port = args[++i].toInt(&ok);
            r.apiPort = ok ? port : -1;
        }
    }
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(orbus::Program::kTitle);
    QApplication::setWindowIcon(orbus::qt::iconFor("orbus"));
    const RemoteArguments remote = remoteArguments(QApplication::arguments());

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
        if (remote.on) {
            const orbus::net::BindChoice bind = orbus::net::chooseBind(remote.address, remote.token);
            if (!bind.refusal.empty()) std::fprintf(stderr, "orbus-panel: %s\n", bind.refusal.c_str());
            orbus::net::ListenPlan plan;
            plan.address = bind.address;
            const std::string problems = sockets.start(plan);
            if (!problems.empty()) std::fprintf(stderr, "orbus-panel: %s\n", problems.c_str());
            for (const std::string& e : sockets.endpoints()) std::fprintf(stderr, "orbus-panel: remote control on %s\n", e.c_str());
            orbus::netqt::ApiServer::Options options;
            options.address = bind.address;
            options.port = remote.apiPort;
            // The token guards the API whenever one is given, on loopback too.
            options.token = remote.token;
            options.rawPackets = remote.raw;
            const std::string apiProblem = api.start(options);
            if (!apiProblem.empty()) std::fprintf(stderr, "orbus-panel: %s\n", apiProblem.c_str());
            else std::fprintf(stderr, "orbus-panel: remote control on %s\n", api.endpoint().c_str());
        }
        orbus::qt::ViewSet views(program.forms());
        windows.setViews(&views);
        program.start();
        if (!windows.ending()) rc = QApplication::exec();
        windows.setViews(nullptr);
        program.setRemoteTransports(nullptr);
    }
    return rc;
}
