#include "app/frm_main.h"

#include "app/program.h"
#include "app/status_presenter.h"
#include "link/packet.h"
#include "panel/runner.h"
#include "platform/platform.h"

namespace orbus {

FrmMain::FrmMain(Program& program)
    : prog_(program),
      state_(program.link),
      platform_(program.platform),
      linkWindow_(linkWindowOf(*this)),
      link_(*linkWindow_, program.link, program.chain, program.platform, Timer1, Timer3) {
    setResizable(true);
    resize(11895, 8220);
    buildMenus();
    buildStatusArea();
    buildExposure();
    buildMemories();
    buildLens();
    buildColour();
    buildLogColumn();
    arrangeTabOrder();
    wireHandlers();
    buildKeysAndTips();
    // The one place the status values reach the window: the model tells
    // of a read of the driven camera, the presenter draws it.
    modelWatch_ = prog_.cameras.subscribe([this](int camera, model::Chain::Aspect aspect) {
        if (aspect != model::Chain::Aspect::Status || camera != state_.CamAddress) return;
        if (const model::Camera* c = prog_.cameras.camera(camera); c && c->status) status::present(*this, *c->status);
    });
}

std::string FrmMain::sendPaced(const std::vector<int>& values, const std::string& key,
                               link::CommandPacer::Kind kind) {
    Bytes bytes;
    // A value that is no byte is refused where it always was ("ERR").
    if (!ToByteArray(values, bytes)) return link_.SendPaced(values, key, kind);
    switch (commands_.send({bytes, link::Source::MainWindow, kind, key})) {
    case link::SendOutcome::Sent:
    case link::SendOutcome::Waiting: return "OK";
    case link::SendOutcome::Malformed:
    case link::SendOutcome::NotWritten: break;
    }
    return "NG";
}

FrmMain::~FrmMain() {
    // Routines still waiting end with the window, before the line they wait
    // on; the port's events have nobody to go to any more.
    tasks().destroyAll();
    platform_.port.onComm = nullptr;
    link_.close();
}

const LinkState& FrmMain::linkState() { return prog_.link; }
ModeBook& FrmMain::modes() { return prog_.modes; }
ModelIdentity& FrmMain::identity() { return prog_.model; }
const LabelTables& FrmMain::labels() const { return prog_.labels; }

void FrmMain::drawRefresh() {
    AutoRefreshed.setCaption(refresh().autoOn() ? "Auto" : "Stop");
    AutoRefreshed.setEnabled(refresh().buttonEnabled());
    RefreshOnce.setEnabled(refresh().onceEnabled());
}

void FrmMain::wireHandlers() {
    DirectText.onKeyPress = [this](int& k) { DirectText_KeyPress(k); };
    DirectText.onChange = [this] { DirectText_Change(); };
    cmdClearTxt.onClick = [this] { cmdClearTxt_Click(); };
    Quit.onClick = [this] { Quit_Click(); };
    AutoRefreshed.onClick = [this] { AutoRefreshed_Click(); };
    RefreshOnce.onClick = [this] { RefreshOnce_Click(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
    Timer2.onTick = [this] { Timer2_Timer(); };
    Timer3.onTick = [this] { Timer3_Timer(); };
    IFClear.onClick = [this] { IFClear_Click(); };
    IFClearB.onClick = [this] { IFClearB_Click(); };
    AddressSet.onClick = [this] { AddressSet_Click(); };
    PTWCloseM.onClick = [this] { PTWCloseM_Click(); };
    PTWDockingM.onClick = [this] { PTWDockingM_Click(); };
    PTWSizeM.onClick = [this] { PTWSizeM_Click(); };
    FmPTWindowM.onClick = [this] { FmPTWindowM_Click(); };
    CameraSel.forEach([this](int i, MenuItem& item) { item.onClick = [this, i] { CameraSel_Click(i); }; });
    onUnload = [this] { Form_Unload(); };
    platform_.port.onComm = [this](int ev) { MSComm1_OnComm(ev); };
    panel::wireCommands(*this);
    wireTrafficView();
    wireProfiles();
    wireStatusLine();
}

}  // namespace orbus
