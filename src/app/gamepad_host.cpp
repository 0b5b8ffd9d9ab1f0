#include "app/gamepad_host.h"

#include "app/frm_main.h"
#include "app/program.h"

namespace orbus::gamepad {

CameraTraits traitsOf(const Program& program, int camera) {
    CameraTraits t;
    const model::Camera* c = program.cameras.camera(camera);
    if (!c) return t;
    t.panTiltHead = c->capabilities.panTiltHead;
    if (c->panTilt) {
        if (c->panTilt->panSpeedMax) t.panMax = *c->panTilt->panSpeedMax;
        if (c->panTilt->tiltSpeedMax) t.tiltMax = *c->panTilt->tiltSpeedMax;
    }
    // Focus by hand only: as the last status read said, or, for a camera
    // that answers no status read, whenever it is known.
    if (c->status && c->status->lens) t.manualFocus = !c->status->lens->autoFocus;
    else t.manualFocus = c->identity.known() && !c->capabilities.statusInquiries;
    t.fixedFocusSpeed = c->identity.panTilt == PanTiltModel::Alpha;
    return t;
}

std::unique_ptr<StickDrive> stickDriveOf(Program& program) {
    Program* p = &program;
    StickDrive::Hooks hooks{
        [p] { return p->cameras.driven(); },
        [p](int camera) { return traitsOf(*p, camera); },
        [p] { return p->platform.port.isOpen(); },
        [p](double seconds, std::function<void()> fn) { p->platform.poster.post(seconds, std::move(fn)); },
        [p](int step) {
            // As the camera menu chooses: only once the main window is up,
            // among the cameras the last address set found.
            FrmMain& m = p->frmMain();
            if (!p->isLoaded(m)) return;
            const int n = std::max(1, p->cameras.length());
            const int next = (p->cameras.driven() - 1 + step + n) % n + 1;
            if (next != p->cameras.driven()) m.CameraSel_Click(next);
        },
        [p](const std::string& words) {
            if (p->isLoaded(p->frmMain())) p->frmMain().statusNote(words);
        },
    };
    return std::make_unique<StickDrive>(program.frmMain().commands(), std::move(hooks),
                                        Mapping::load(program.platform.settings, Program::kTitle));
}

}  // namespace orbus::gamepad
