// orbus-panel: the control panel on the machine's serial ports.
#include <QApplication>

#include "app/program.h"
#include "platform/qt/form_view.h"
#include "app/qt_machine.h"

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
        if (!windows.ending()) rc = QApplication::exec();
        windows.setViews(nullptr);
    }
    return rc;
}
