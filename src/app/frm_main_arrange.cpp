// The main window on the screen it is on: the groups the camera's layout
// shows, closed up column by column, the log column beside them, the status
// line under them, and the docked pan-tilt window below the window (where
// the screen has room) or held inside it; all of it drawn smaller where the
// screen is too small for it at full size.
#include <algorithm>
#include <cmath>

#include "app/frm_main.h"
#include "app/program.h"
#include "app/window_arrangement.h"
#include "pantilt/frm_pantilt.h"

namespace orbus {

namespace {

// Extent of a group of controls that move together.
struct Extent {
    const std::vector<Control*>& controls;

    bool shown() const {
        return std::any_of(controls.begin(), controls.end(), [](const Control* c) { return c->visible(); });
    }
    double left() const {
        double l = controls.front()->left();
        for (const Control* c : controls) l = std::min(l, static_cast<double>(c->left()));
        return l;
    }
    double top() const {
        double t = controls.front()->top();
        for (const Control* c : controls) t = std::min(t, static_cast<double>(c->top()));
        return t;
    }
    double right() const {
        double r = 0;
        for (const Control* c : controls) r = std::max(r, static_cast<double>(c->left() + c->width()));
        return r;
    }
    double bottom() const {
        double b = 0;
        for (const Control* c : controls) b = std::max(b, static_cast<double>(c->top() + c->height()));
        return b;
    }
    void moveTo(double l, double t) const {
        const int dx = static_cast<int>(l - left()), dy = static_cast<int>(t - top());
        for (Control* c : controls) c->setGeometry(c->left() + dx, c->top() + dy, c->width(), c->height());
    }
};

}  // namespace

std::vector<FrmMain::Group> FrmMain::arrangedGroups() {
    // Column by column, top to bottom, as designed. The infrared-cut filter
    // and stabilizer buttons move with their names.
    return {
        {0, {&FmAEControl}},
        {0, {&LblAE[15], &CmdAutoICR, &LblAE[16], &CmdICR[0], &CmdICR[1], &LblAE[17], &Comstabi}},
        {0, {&FmMemory}},
        {1, {&FmZoom}},
        {1, {&FmDZoom}},
        {1, {&FmFocus}},
        {2, {&FmWB}},
        {2, {&FmAPC}},
        {2, {&Frame5}},
        {2, {&FmPreset}},
        {2, {&FmPTWindowM}},
    };
}

arrangement::Result FrmMain::arrangeWindow() {
    const std::vector<Group> groups = arrangedGroups();
    arrangement::Input in;
    std::vector<Extent> shown;
    for (const Group& g : groups) {
        const Extent e{g.controls};
        if (!e.shown()) continue;
        shown.push_back(e);
        in.blocks.push_back({g.column, e.right() - e.left(), e.bottom() - e.top()});
    }
    Program& p = program();
    FrmPanTilt& pt = p.frmPanTilt();
    const bool docked = p.ptw.PTWDocking && p.isLoaded(pt) && pt.visible();
    in.hasGuest = docked;
    in.guest = {pt.width(), pt.height()};
    in.statusRowRight = RefreshOnce.left() + RefreshOnce.width();
    const ScreenArea area = platform_.windows.screenArea();
    in.screenWidth = area.width;
    in.screenHeight = area.height;
    const arrangement::Result r = arrangement::arrange(in);

    for (std::size_t i = 0; i < shown.size(); ++i) shown[i].moveTo(r.blocks[i].left, r.blocks[i].top);
    placeLogColumn(r.logLeft, r.logTop, r.logWidth, r.logHeight);
    placeStatusLine(r.statusLineTop, r.clientWidth);

    // The window: its size is what it holds; its place stays, kept on the screen.
    setZoom(r.zoom);
    pt.setZoom(r.zoom);
    const double w = std::ceil(r.outerWidth / r.zoom), h = std::ceil(r.outerHeight / r.zoom);
    double l = left(), t = top();
    if (area.width > 0 && area.height > 0) {
        // A docked window below comes along: the screen holds both.
        l = std::clamp(l, area.left, std::max(area.left, area.right() - std::max(r.outerWidth, r.guestOuterWidth)));
        t = std::clamp(t, area.top, std::max(area.top, area.bottom() - r.outerHeight - r.guestOuterHeight));
    }
    if (l != left() || t != top()) move(l, t);
    if (w != width() || h != height()) resize(w, h);
    if (!docked) {
        if (pt.host() == this) pt.holdIn(nullptr);
    } else {
        if (r.guestPlace == arrangement::GuestPlace::Held) {
            pt.holdIn(this, r.guestLeft, r.guestTop);
        } else {
            pt.holdIn(nullptr);
            pt.move(left(), top() + height() * zoom());
        }
    }
    return r;
}

void FrmMain::placeLogColumn(double left, double top, double width, double height) {
    const int l = static_cast<int>(left), w = static_cast<int>(width);
    constexpr int kLabel = 240, kGap = 60, kMeaning = 480, kDirect = 300, kClear = 330, kClearGap = 90;
    constexpr int fixed = 3 * kLabel + 3 * kGap + kMeaning + kDirect + kClearGap + kClear;
    const int logs = std::max(1000, static_cast<int>(height) - fixed);
    const int sent = logs * 1605 / (1605 + 1845);
    int y = static_cast<int>(top);
    Lbl[1].setGeometry(l, y, w, kLabel);
    SendText.setGeometry(l, y += kLabel, w, sent);
    Lbl[0].setGeometry(l, y += sent + kGap, w, kLabel);
    RecvText.setGeometry(l, y += kLabel, w, logs - sent);
    LineMeaning.setGeometry(l, y += logs - sent + kGap, w, kMeaning);
    Lbl[2].setGeometry(l, y += kMeaning + kGap, w, kLabel);
    DirectText.setGeometry(l, y += kLabel, w, kDirect);
    cmdClearTxt.setGeometry(l + w - 1100, y + kDirect + kClearGap, 1100, kClear);
    // Why the console sent nothing, or what it sent that looks wrong.
    DirectNote.setGeometry(l, y + kDirect + kClearGap, std::max(0, w - 1200), kClear);
}

void FrmMain::placeStatusLine(double top, double width) {
    const int t = static_cast<int>(top) + 30, w = static_cast<int>(width) - 2 * 120;
    const int portW = w * 3 / 10, cameraW = w * 2 / 10;
    StatusPort.setGeometry(120, t, portW - 60, 240);
    StatusCamera.setGeometry(120 + portW, t, cameraW - 60, 240);
    StatusLink.setGeometry(120 + portW + cameraW, t, w - portW - cameraW, 240);
}

}  // namespace orbus
