// The pan-tilt window beside the main window: shown or closed, docked below
// it (or held inside it where the screen has no room), large or small. Where
// a docked window goes is the main window's arrangement's to say.
#include <algorithm>

#include "app/frm_main.h"
#include "app/program.h"
#include "app/window_arrangement.h"
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
        arrangeWindow();
        if (!f.PTWDocked) {
            const auto at = releasedPanTiltPlace();
            pt.move(at.left, at.top);
            f.PTWDocked = true;
        }
    } else {
        pt.PTWDockingS.setCaption("Release");
        PTWDockingM.setCaption("Release");
        // Below this window where the screen has room, else held inside it.
        arrangeWindow();
    }
    // The main window's button tells what it will do: close an open window,
    // open a closed one.
    PTWCloseM.setCaption(p.isLoaded(pt) && pt.visible() ? "CLOSE" : "OPEN");
}

arrangement::Result::Spot FrmMain::releasedPanTiltPlace() {
    using namespace arrangement;
    const FrmPanTilt& pt = program().frmPanTilt();
    const double z = zoom();
    const Box main{left(), top(), width() * z, height() * z};
    // The log column on the screen: from its first caption to "Clear Txt".
    const double clientLeft = left() + kFrameBorder, clientTop = top() + kTitleBar + kMenuBar * z;
    const Box logs{clientLeft + SendText.left() * z, clientTop + Lbl[1].top() * z, SendText.width() * z,
                   (cmdClearTxt.top() + cmdClearTxt.height() - Lbl[1].top()) * z};
    const ScreenArea area = platform_.windows.screenArea();
    const Box screen{area.left, area.top, area.width, area.height};
    return releasedPlace(main, pt.width() * pt.zoom() + 2 * kFrameBorder, pt.height() * pt.zoom() + kTitleBar + kFrameBorder,
                         logs, screen);
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
