// orbus-panel: the control panel on the machine's serial ports.
#include <QApplication>

#include "app/program.h"
#include "platform/qt/form_view.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_serial.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(orbus::Program::kTitle);
    QApplication::setWindowIcon(orbus::qt::iconFor("orbus"));

    orbus::qt::QtClock clock;
    orbus::qt::QtPoster poster;
    orbus::qt::QtTimerService timers;
    orbus::qt::QtSettingsStore settings;
    orbus::qt::QtWindowSystem windows;
    orbus::qt::RoutingPort port(clock, poster);
    orbus::Platform platform{clock, poster, timers, settings, windows, port};

    int rc = 0;
    {
        orbus::Program program(platform);
        orbus::qt::ViewSet views(program.forms());
        windows.setViews(&views);
        program.start();
        if (!windows.ending()) rc = QApplication::exec();
        windows.setViews(nullptr);
    }
    return rc;
}
