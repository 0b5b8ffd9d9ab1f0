// The main window as the pan-tilt window sees it.
#include "app/pantilt_host.h"

#include "app/frm_main.h"
#include "app/program.h"

namespace orbus::pantilt {

namespace {

class MainWindowOfProgram final : public MainWindow {
public:
    explicit MainWindowOfProgram(Program& program) : program_(program) {}

    bool sendDrive(const std::vector<int>& packet, bool stop) override {
        return main().SendValues(packet, stop ? FrmMain::kStop : FrmMain::kCommand) == "OK";
    }
    void showPanTilt() override { main().DspPTW(); }
    void toggleDocking() override { main().toggleDocking(); }
    void toggleSize() override { main().toggleSize(); }
    void raise() override { main().raiseWithoutFocus(); }

private:
    // Looked up at each use: the pan-tilt window may be made first.
    FrmMain& main() { return program_.frmMain(); }
    Program& program_;
};

}  // namespace

std::unique_ptr<MainWindow> mainWindowOf(Program& program) { return std::make_unique<MainWindowOfProgram>(program); }

}  // namespace orbus::pantilt
