// The main window as the pan-tilt window sees it.
#include "app/pantilt_host.h"

#include "app/frm_main.h"
#include "app/program.h"
#include "link/packet.h"

namespace orbus::pantilt {

namespace {

class MainWindowOfProgram final : public MainWindow {
public:
    explicit MainWindowOfProgram(Program& program) : program_(program) {}

    bool sendDrive(const std::vector<int>& values, bool stop) override {
        Bytes packet;
        // A value that is no byte is refused where it always was.
        if (!ToByteArray(values, packet))
            return main().SendValues(values, stop ? FrmMain::kStop : FrmMain::kCommand) == "OK";
        // Out at once, as the drive always went: a stop must not wait
        // behind the drive it ends.
        const auto kind = stop ? link::CommandPacer::Kind::Stop : link::CommandPacer::Kind::Other;
        return main().commands().send({std::move(packet), link::Source::PanTiltKeys, kind, "", link::Pacing::Direct}) ==
               link::SendOutcome::Sent;
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
