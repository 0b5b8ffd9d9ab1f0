#include "app/frm_remote.h"

#include <algorithm>

#include "app/program.h"
#include "dialogs/dialog_link.h"

namespace orbus {

namespace {

const std::vector<Table::Column> kColumns = {
    {"Address", 2400}, {"Kind", 700}, {"Last command", 2600}, {"Camera", 800},
};
constexpr int kLeft = 200;
constexpr int kRow = 400;
constexpr int kBoxLeft = 3700;
constexpr int kWidth = 6700;

// A port as the operator typed it: 1 to 65535, else 0.
int portOf(const std::string& text) {
    if (text.empty() || text.size() > 5 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int n = std::stoi(text);
    return n >= 1 && n <= 65535 ? n : 0;
}

}  // namespace

FrmRemote::FrmRemote(Program& program)
    : Form("FrmRemote", "Remote Control"), Clients(*this, "Clients", kColumns), prog_(program) {
    resize(kWidth + 2 * kLeft + 120, 10 * kRow + 3200 + 1200);
    int y = 200;
    const auto row = [&](Control& left, Control* box, int boxWidth = 1200) {
        left.placeIn(nullptr, kLeft, y + (box ? 40 : 0), box ? kBoxLeft - kLeft - 100 : kWidth, kRow - 80);
        appendToTabOrder(left);
        if (box) {
            box->placeIn(nullptr, kBoxLeft, y, boxWidth, kRow - 60);
            appendToTabOrder(*box);
        }
        y += kRow;
    };
    row(ChkUdp, &TxtUdpPort);
    row(ChkTcp, &TxtTcpPort);
    row(ChkApi, &TxtApiPort);
    row(ChkRaw, nullptr);
    row(LblAddress, &TxtAddress, 3000);
    row(LblToken, &TxtToken, 3000);
    row(LblAllowed, &TxtAllowed, 3000);
    CmdApply.placeIn(nullptr, kLeft + kWidth - 1300, y, 1300, kRow - 40);
    CmdApply.setDefault(true);
    appendToTabOrder(CmdApply);
    y += kRow;
    LblMessage.placeIn(nullptr, kLeft, y, kWidth, 2 * kRow);
    LblMessage.setForeColor(rgb(192, 0, 0));
    appendToTabOrder(LblMessage);
    y += 2 * kRow;
    row(LblClients, nullptr);
    Clients.placeIn(nullptr, kLeft, y, kWidth, 2400);
    Clients.setAccessibleName("Connected clients");
    Clients.cellText = [this](int r, int c) -> std::string {
        if (r < 0 || r >= static_cast<int>(shown_.size())) return "";
        const net::ClientInfo& i = shown_[static_cast<std::size_t>(r)];
        switch (c) {
        case 0: return i.address;
        case 1: return net::clientKindName(i.kind);
        case 2: return i.lastCommand.empty() ? "-" : i.lastCommand;
        default: return i.camera == 0 ? "-" : std::to_string(i.camera);
        }
    };
    Clients.onSelect = [this] { enableControls(); };
    appendToTabOrder(Clients);
    y += 2400 + 120;
    CmdDrop.placeIn(nullptr, kLeft, y, 1500, kRow - 40);
    CmdStopAll.placeIn(nullptr, kLeft + 1600, y, 2400, kRow - 40);
    CmdClose.placeIn(nullptr, kLeft + kWidth - 1300, y, 1300, kRow - 40);
    for (Control* c : std::initializer_list<Control*>{&CmdDrop, &CmdStopAll, &CmdClose}) appendToTabOrder(*c);

    TxtUdpPort.setAccessibleName("UDP first port");
    TxtTcpPort.setAccessibleName("TCP first port");
    TxtApiPort.setAccessibleName("JSON API port");
    TxtAddress.setAccessibleName("Bind address");
    TxtToken.setAccessibleName("Token");
    TxtAllowed.setAccessibleName("Controllers allowed from");
    for (TextBox* t : {&TxtUdpPort, &TxtTcpPort, &TxtApiPort}) t->setMaxLength(5);
    ChkUdp.setToolTip("Camera n answers IP controllers on the first port + n - 1");
    ChkTcp.setToolTip("Camera n takes bare packets on the first port + n - 1");
    ChkApi.setToolTip("JSON messages over HTTP and WebSocket, and the web remote at http://ADDRESS:PORT/");
    TxtAddress.setToolTip("127.0.0.1 keeps the services on this machine; any other address needs a token");
    TxtToken.setToolTip("What a JSON API or web client must present; needed for any bind beyond this machine");
    TxtAllowed.setToolTip("Hosts besides this machine whose IP and bare-packet controllers are taken, "
                          "separated by commas (such controllers carry no token)");
    CmdDrop.setToolTip("Disconnects the selected client; the drives it started are stopped");
    CmdStopAll.setToolTip("Stops every drive a remote client started and that still runs");

    for (CheckBox* c : {&ChkUdp, &ChkTcp, &ChkApi}) c->onClick = [this] { enableControls(); };
    TxtAddress.onChange = [this] { enableControls(); };
    TxtToken.onChange = [this] { enableControls(); };
    CmdApply.onClick = [this] { CmdApply_Click(); };
    CmdDrop.onClick = [this] { CmdDrop_Click(); };
    CmdStopAll.onClick = [this] { CmdStopAll_Click(); };
    CmdClose.onClick = [this] { CmdClose_Click(); };
    Timer1.onTick = [this] { Timer1_Timer(); };
    onUnload = [this] { Form_Unload(); };
    onHide = [this] { Timer1.setEnabled(false); };
}

void FrmRemote::showChoice(const RemoteChoice& c) {
    ChkUdp.setValue(c.udp ? 1 : 0);
    ChkTcp.setValue(c.tcp ? 1 : 0);
    ChkApi.setValue(c.api ? 1 : 0);
    TxtUdpPort.setText(std::to_string(c.udpBase));
    TxtTcpPort.setText(std::to_string(c.tcpBase));
    TxtApiPort.setText(std::to_string(c.apiPort));
    TxtAddress.setText(c.address);
    TxtToken.setText(c.token);
    ChkRaw.setValue(c.rawPackets ? 1 : 0);
    TxtAllowed.setText(addressListText(c.allowed));
    enableControls();
}

bool FrmRemote::choiceFromBoxes(RemoteChoice& c) {
    c.udp = ChkUdp.checked();
    c.tcp = ChkTcp.checked();
    c.api = ChkApi.checked();
    c.address = TxtAddress.text().empty() ? "127.0.0.1" : TxtAddress.text();
    c.token = TxtToken.text();
    c.rawPackets = ChkRaw.checked();
    c.allowed = addressList(TxtAllowed.text());
    const struct {
        const TextBox& box;
        int& port;
        const char* what;
    } ports[] = {{TxtUdpPort, c.udpBase, "The UDP first port"},
                 {TxtTcpPort, c.tcpBase, "The TCP first port"},
                 {TxtApiPort, c.apiPort, "The JSON API port"}};
    for (const auto& p : ports) {
        const int n = portOf(p.box.text());
        if (n == 0) {
            LblMessage.setCaption(std::string(p.what) + " must be a number from 1 to 65535; nothing was changed.");
            return false;
        }
        p.port = n;
    }
    return true;
}

void FrmRemote::enableControls() {
    const bool controllers = ChkUdp.checked() || ChkTcp.checked();
    const bool any = controllers || ChkApi.checked();
    TxtUdpPort.setEnabled(ChkUdp.checked());
    TxtTcpPort.setEnabled(ChkTcp.checked());
    TxtApiPort.setEnabled(ChkApi.checked());
    ChkRaw.setEnabled(ChkApi.checked());
    for (Control* c : std::initializer_list<Control*>{&LblAddress, &TxtAddress, &LblToken, &TxtToken}) c->setEnabled(any);
    LblAllowed.setEnabled(controllers);
    TxtAllowed.setEnabled(controllers);
    CmdDrop.setEnabled(!Clients.selectedRows().empty());
    CmdStopAll.setEnabled(prog_.remoteHub().drives() > 0);
}

void FrmRemote::showClients() {
    // The selection follows its client across the refresh.
    std::vector<net::ClientId> selected;
    for (const int r : Clients.selectedRows()) {
        if (r < static_cast<int>(shown_.size())) selected.push_back(shown_[static_cast<std::size_t>(r)].id);
    }
    shown_ = prog_.remoteHub().clients();
    Clients.resetRows(static_cast<int>(shown_.size()));
    std::vector<int> rows;
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        if (std::find(selected.begin(), selected.end(), shown_[i].id) != selected.end()) rows.push_back(static_cast<int>(i));
    }
    if (!rows.empty()) Clients.setSelectedRows(rows);
    const std::size_t n = shown_.size();
    LblClients.setCaption("Connected clients: " + std::to_string(n));
    enableControls();
}

void FrmRemote::open() {
    if (!visible()) {
        dialogs::placeBesideMain(prog_.context(), *this, 600, 600);
        showChoice(loadRemoteChoice(prog_));
        LblMessage.setCaption("");
    }
    prog_.loaded(*this);
    showClients();
    show();
    Timer1.setEnabled(true);
}

void FrmRemote::Timer1_Timer() { showClients(); }

void FrmRemote::CmdApply_Click() {
    RemoteChoice c;
    if (!choiceFromBoxes(c)) return;
    const RemoteApplied applied = applyRemote(prog_, c);
    // A refused wide bind is kept as loopback: what runs is what is stored.
    if (applied.plan.address != c.address) {
        c.address = applied.plan.address;
        TxtAddress.setText(c.address);
    }
    saveRemoteChoice(prog_, c);
    LblMessage.setCaption(applied.message);
    showClients();
}

void FrmRemote::CmdDrop_Click() {
    for (const int r : Clients.selectedRows()) {
        if (r < static_cast<int>(shown_.size())) prog_.remoteHub().disconnect(shown_[static_cast<std::size_t>(r)].id);
    }
    Clients.setSelectedRows({});
    showClients();
}

void FrmRemote::CmdStopAll_Click() {
    const int stops = prog_.remoteHub().stopAllDrives();
    LblMessage.setCaption(stops == 0 ? "No remote drive was running."
                                     : std::to_string(stops) + (stops == 1 ? " drive stopped." : " drives stopped."));
    showClients();
}

void FrmRemote::CmdClose_Click() { unload(); }

void FrmRemote::Form_Unload() {
    hide();
    prog_.unloaded(*this);
}

}  // namespace orbus
