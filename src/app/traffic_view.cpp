// The main window's view of its traffic: the meaning of the log line at the
// caret or under the pointer, and the "Chain Status", "Traffic" and "Remote
// Control" windows.
#include "app/frm_chain.h"
#include "app/frm_main.h"
#include "app/frm_remote.h"
#include "app/frm_traffic.h"
#include "app/meaning.h"
#include "app/program.h"

namespace orbus {

std::string FrmMain::logLineMeaning(const TextBox& log, std::size_t pos) const {
    const std::string& text = log.text();
    const std::string_view line = lineAt(text, pos);
    if (&log == &RecvText) {
        const auto origin = prog_.chain.answerOrigin(text, pos);
        return lineMeaning(line, LineSide::Received, origin ? &*origin : nullptr);
    }
    return lineMeaning(line, LineSide::Sent);
}

void FrmMain::SendText_CaretMove() { LineMeaning.setText(logLineMeaning(SendText, SendText.selStart())); }

void FrmMain::RecvText_CaretMove() { LineMeaning.setText(logLineMeaning(RecvText, RecvText.selStart())); }

void FrmMain::ChainStatus_Click() { prog_.frmChain().open(); }

void FrmMain::ViewTraffic_Click() { prog_.frmTraffic().open(); }

void FrmMain::wireTrafficView() {
    SendText.onCaretMove = [this] { SendText_CaretMove(); };
    RecvText.onCaretMove = [this] { RecvText_CaretMove(); };
    SendText.toolTipAt = [this](std::size_t pos) { return logLineMeaning(SendText, pos); };
    RecvText.toolTipAt = [this](std::size_t pos) { return logLineMeaning(RecvText, pos); };
    ChainStatus.onClick = [this] { ChainStatus_Click(); };
    ViewChainStatus.onClick = [this] { ChainStatus_Click(); };
    ViewTraffic.onClick = [this] { ViewTraffic_Click(); };
    ViewRemote.onClick = [this] { prog_.frmRemote().open(); };
}

}  // namespace orbus
