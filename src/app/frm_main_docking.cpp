// The pan-tilt window beside the main window: shown or closed, docked below
// it (or held inside it where the screen has no room), large or small.
#include <algorithm>

#include "app/frm_main.h"
#include "app/program.h"
#include "pantilt/frm_pantilt.h"

namespace orbus {

void FrmMain::DspPTW() {
    Program& p = program();
    PanTiltFlags& f = p.ptw;
    FrmPanTilt& pt = p.frmPanTilt();
    if (!f.PTWSize) {
        pt.PTWSizeS.setCaption("Large");
        PTWSizeM.setCaption("Large");
        pt.FmInfo.setVisible(false);
        pt.setHeight(FrmPanTilt::kSmallHeight);
    } else {
        pt.PTWSizeS.setCaption("Small");
        PTWSizeM.setCaption("Small");
        pt.FmInfo.setVisible(true);
        pt.setHeight(FrmPanTilt::kLargeHeight);
    }
    // The window belongs to a pan-tilt camera, switched on or not.
    const bool panTiltCamera = p.model.LaidOutSeries == Series::PanTilt;
    if (!f.PTWindow || !panTiltCamera) {
        // Closed by the operator, or a camera without a pan-tilt head is
        // driven (the operator's choice is kept for the next pan-tilt camera).
        if (p.isLoaded(pt)) {
            pt.hide();
            p.unloaded(pt);
        }
    } else if (visible()) {
        p.loaded(pt);
        pt.show();
        pt.raiseWithoutFocus();
        pt.LbMount.setCaption("");
        if (p.link.ModelCode == PanTiltModel::Kappa) {
            DspIRCondition();
        } else {
            pt.LblIR.setCaption("");
        }
    }
    if (!f.PTWDocking) {
        pt.PTWDockingS.setCaption("Docking");
        PTWDockingM.setCaption("Docking");
        releaseHeldPanTilt();
        if (!f.PTWDocked) {
            pt.move(left(), top() + height() - pt.height());
            f.PTWDocked = true;
        }
    } else {
        pt.PTWDockingS.setCaption("Release");
        PTWDockingM.setCaption("Release");
        placeDocked();
    }
    // The main window's button tells what it will do: close an open window,
    // open a closed one.
    PTWCloseM.setCaption(p.isLoaded(pt) && pt.visible() ? "CLOSE" : "OPEN");
}

double FrmMain::ownHeight() const {
    const PanTiltFlags& f = prog_.ptw;
    // An operator who resized the window meanwhile made its height their own.
    if (f.heldGrowth > 0 && height() == f.heldHeight) return height() - f.heldGrowth;
    return height();
}

void FrmMain::placeDocked() {
    PanTiltFlags& f = prog_.ptw;
    FrmPanTilt& pt = prog_.frmPanTilt();
    const ScreenArea area = platform_.windows.screenArea();
    const double own = ownHeight();
    const bool room = area.height <= 0 || top() + own + pt.height() <= area.bottom();
    if (room || !pt.visible()) {
        releaseHeldPanTilt();
        pt.move(left(), top() + height());
        return;
    }
    // No room below on this screen: the window goes inside, under this
    // window's own controls, and this window grows as far as the screen lets it.
    const double growth = std::clamp(area.bottom() - top() - own, 0.0, pt.height());
    f.heldGrowth = growth;
    f.heldHeight = own + growth;
    resize(width(), own + growth);
    pt.holdIn(this);
}

void FrmMain::releaseHeldPanTilt() {
    PanTiltFlags& f = prog_.ptw;
    const double own = ownHeight();
    prog_.frmPanTilt().holdIn(nullptr);
    if (f.heldGrowth > 0 && height() != own) resize(width(), own);
    f.heldGrowth = 0;
    f.heldHeight = 0;
}

void FrmMain::check_DspPTW() {
    Program& p = program();
    PanTiltFlags& f = p.ptw;
    if (!(f.PTWDocking && f.PTWindow)) return;
    FrmPanTilt& pt = p.frmPanTilt();
    auto text = [](double v) { return std::to_string(static_cast<long long>(v)); };
    const std::string mt = text(top()), ml = text(left()), pt_t = text(pt.top()), pt_l = text(pt.left());
    if (mt == f.seenMainTop && ml == f.seenMainLeft && pt_t == f.seenPanTiltTop && pt_l == f.seenPanTiltLeft) return;
    f.seenMainTop = mt;
    f.seenMainLeft = ml;
    f.seenPanTiltTop = pt_t;
    f.seenPanTiltLeft = pt_l;
    DspPTW();
}

void FrmMain::showPanTiltAtStartup() { DspPTW(); }

void FrmMain::PTWCloseM_Click() {
    program().ptw.PTWindow = !program().ptw.PTWindow;
    DspPTW();
}

void FrmMain::toggleDocking() {
    PanTiltFlags& f = program().ptw;
    if (!f.PTWDocking) {
        f.PTWDocking = true;
    } else {
        f.PTWDocking = false;
        f.PTWDocked = false;
    }
    DspPTW();
}

void FrmMain::PTWDockingM_Click() { toggleDocking(); }

void FrmMain::toggleSize() {
    program().ptw.PTWSize = !program().ptw.PTWSize;
    DspPTW();
}

void FrmMain::PTWSizeM_Click() { toggleSize(); }

void FrmMain::FmPTWindowM_Click() { program().frmPanTilt().raiseWithoutFocus(); }

}  // namespace orbus
