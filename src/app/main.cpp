// orbus-panel: the control panel on the machine's serial ports.
#include <QApplication>
#include <QTimer>

#include "app/program.h"
#include "platform/qt/form_view.h"
#include "app/qt_machine.h"
#include "gamepad/sdl/sdl_reader.h"

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
    }
    return rc;
}
